// Sanitizer builds only: libraries loaded at run time (the GL driver, the window system's helpers)
// stay mapped until the process ends. The leak checker runs after the window system closed them, and
// memory that only a closed library still pointed to would be reported as leaked, with no library
// left to name.
extern "C" int dlclose(void*) {
    return 0;
}
