#include "GLCallCounter.h"

#include "GLWrappedCalls.h"

// The stubs below read and bump these by name, so they are plain C symbols.
extern "C" {
uint64_t KalGLCallCount = 0;
uint64_t KalGLBindCount = 0;
}

// One stub per wrapped entry point: the arguments are left untouched in their registers and the
// driver's function is reached by a tail jump, so the stub needs no signature (x86-64 only).
#define KAL_GL_STUB(name)                                                                              \
    asm(".text\n.globl __wrap_" #name "\n.type __wrap_" #name ",@function\n__wrap_" #name ":\n"     \
        "  incq KalGLCallCount(%rip)\n  jmp __real_" #name "@PLT\n");
KAL_GL_WRAPPED_CALLS(KAL_GL_STUB)

asm(".text\n.globl __wrap_glBindTexture\n.type __wrap_glBindTexture,@function\n__wrap_glBindTexture:\n"
    "  incq KalGLCallCount(%rip)\n  incq KalGLBindCount(%rip)\n  jmp __real_glBindTexture@PLT\n");

TGLCallCounts ReadGLCallCounts() { return {KalGLCallCount, KalGLBindCount}; }
