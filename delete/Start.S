// Start-up and interrupt handlers of the helper, in real mode. MS-DOS enters
// with CS = DS = ES = SS = the program segment prefix (mz.ld); C++ code
// compiled for 16-bit mode wants the high half of ESP clear.
	.code16
	.section .start, "ax"
// Offset 100h, just behind the PSP: a zero that ends a command tail of the
// full 127 bytes once it is cut into arguments.
	.byte 0
	.globl _start
_start:
	movzwl %sp, %esp
	cld
	mov $__bss_start, %di     // the buffers start out zero
	mov $__bss_end, %cx
	sub %di, %cx
	xor %al, %al
	rep stosb
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
