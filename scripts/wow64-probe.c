/* Whether this machine runs 32-bit x86 code at all, which Wine's WoW64 mode needs for every
 * 32-bit Windows program. Far-returns into the 32-bit user code segment, runs a few instructions
 * there and far-returns to 64-bit mode. A kernel with 32-bit emulation switched off faults on the
 * far return; the probe then dies of SIGSEGV. Built with -no-pie, so that its code lies below
 * 4 GiB, where 32-bit code can address it. */
#define _GNU_SOURCE
#include <stdint.h>
#include <stdio.h>
#include <sys/mman.h>

int main(void) {
    /* 32-bit code uses only the low half of the stack pointer: a stack below 4 GiB. */
    const size_t size = 64 * 1024;
    char* stack =
        mmap(NULL, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
    if (stack == MAP_FAILED) {
        perror("wow64-probe: mmap");
        return 2;
    }
    const uint64_t top = (uint64_t)(stack + size - 16);
    uint32_t result = 0;
    __asm__ volatile(
        "movq %%rsp, %%rbx\n\t"
        "movq %1, %%rsp\n\t"
        "leaq 1f(%%rip), %%rax\n\t"
        "pushq $0x23\n\t" /* the 32-bit user code segment */
        "pushq %%rax\n\t"
        "lretq\n"
        ".code32\n"
        "1: movl $0x20, %%ecx\n\t"
        "addl %%ecx, %%ecx\n\t"
        "pushl $0x33\n\t" /* back to the 64-bit user code segment */
        "call 2f\n"
        "2: addl $(3f - 2b), (%%esp)\n\t"
        "lret\n"
        ".code64\n"
        "3: movq %%rbx, %%rsp\n\t"
        "movl %%ecx, %0\n\t"
        : "=r"(result)
        : "r"(top)
        : "rax", "rbx", "rcx", "memory");
    return result == 0x40 ? 0 : 3;
}
