// Start-up and interrupt handlers of the helper, in real mode. MS-DOS enters
// with DS = ES = the program segment prefix and CS = SS = the program's one
// segment (mz.ld); C++ code compiled for 16-bit mode wants DS = ES = SS and
// the high half of ESP clear.
	.code16
	.section .start, "ax"
	.globl _start
_start:
	mov %ds, %ax
	movzwl %ax, %eax          // the PSP, DeleteMain's argument
	mov %cs, %dx
	mov %dx, %ds
	mov %dx, %es
	movzwl %sp, %esp
	cld
	push %ax
	mov $__bss_start, %di     // the buffers start out zero
	mov $__bss_end, %cx
	sub %di, %cx
	xor %al, %al
	rep stosb
	pop %ax
	calll DeleteMain

// Critical error: fail the call at once instead of asking the user.
	.globl CriticalErrorHandler
CriticalErrorHandler:
	mov $3, %al
	iret

// Ctrl-Break: end with exit code 255. MS-DOS puts back the vectors saved in
// the PSP as the program ends.
	.globl BreakHandler
BreakHandler:
	mov $0x4CFF, %ax
	int $0x21

	.section .note.GNU-stack, "", @progbits
