// NOENV.COM PROGRAM [ARGUMENTS]: starts PROGRAM with the rest of the command
// tail as its own, the way a parent without an environment starts it: the
// word at 2Ch of this PSP and the segment in the EXEC block are both 0, so
// the child's block opens with a single zero. Ends with exit code 0 once the
// program has run, 1 when it could not be started.
	.code16
	.text
	.globl _start
_start:
	cld
	mov $0x4A00, %ax          // keep 64 KiB (the stack too), free the rest
	mov $0x1000, %bx
	int $0x21
	movw $0, 0x2C

	mov $0x81, %si
1:	lodsb                     // blanks before the program's name
	cmp $' ', %al
	je 1b
	cmp $'\t', %al
	je 1b
	mov $path, %di
2:	cmp $' ', %al             // a blank, a tab or the CR ends the name
	jbe 3f
	stosb
	lodsb
	jmp 2b
3:	movb $0, (%di)
	dec %si
	mov $tail + 1, %di        // the rest, from that blank up to the CR
4:	lodsb
	stosb
	cmp $'\r', %al
	jne 4b
	mov %di, %ax
	sub $tail + 2, %ax
	mov %al, tail

	mov %cs, block + 4
	mov %cs, block + 8
	mov %cs, block + 12
	mov $path, %dx
	mov $block, %bx
	mov $0x4B00, %ax
	int $0x21
	mov %cs, %dx              // MS-DOS 2 keeps no register over EXEC
	mov %dx, %ss
	mov $0xFFFE, %sp
	mov %dx, %ds
	mov $0x4C00, %ax
	adc $0, %al               // carry: EXEC failed
	int $0x21

// Environment 0, the tail, and this PSP's two FCBs.
block:	.word 0, tail, 0, 0x5C, 0, 0x6C, 0

	path = .
	tail = path + 128

	.section .note.GNU-stack, "", @progbits
