// A stand-in for a display's vertical sync under Xvfb, which has none: preloaded into the game
// (LD_PRELOAD), it holds every glfwSwapBuffers until the next tick of a 1 / KAL_SWAP_HZ s grid, as
// a swap that waits for the vertical blank of a display of that rate does.
#include <GLFW/glfw3.h>
#include <chrono>
#include <cstdlib>
#include <dlfcn.h>
#include <thread>

extern "C" void glfwSwapBuffers(GLFWwindow* window) {
    using TSwap = void (*)(GLFWwindow*);
    static TSwap real = reinterpret_cast<TSwap>(dlsym(RTLD_NEXT, "glfwSwapBuffers"));
    static const double hz = [] {
        const char* text = std::getenv("KAL_SWAP_HZ");
        double value = text ? std::atof(text) : 60;
        return value > 0 ? value : 60;
    }();
    real(window);
    using namespace std::chrono;
    double now = duration<double>(steady_clock::now().time_since_epoch()).count();
    double next = (static_cast<long long>(now * hz) + 1) / hz;
    std::this_thread::sleep_until(steady_clock::time_point(duration_cast<steady_clock::duration>(duration<double>(next))));
}
