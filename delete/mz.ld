/* Links the helper as an MS-DOS MZ executable of one segment shared with its
   program segment prefix, as a .COM program has it: a 32-byte header, then
   code and data from offset 100h, where MS-DOS loads the image just behind
   the PSP. CS and SS are given as -10h paragraphs from the image, which is
   the PSP; MS-DOS sets DS and ES to the PSP itself. The stack lies above the
   image. No relocations. */
OUTPUT_FORMAT(binary)
OUTPUT_ARCH(i386)
ENTRY(_start)

STACK_BYTES = 2048;

SECTIONS {
  .image 0x100 : AT(32) {
    *(.start)
    *(.text .text.*)
    *(.rodata .rodata.*)
    *(.data .data.*)
    . = ALIGN(2);
  }
  .bss (NOLOAD) : {
    __bss_start = .;
    *(.bss .bss.* COMMON)
    __bss_end = .;
  }
  IMAGE_BYTES = SIZEOF(.image);
  FILE_BYTES = 32 + IMAGE_BYTES;
  STACK_TOP = ALIGN(ADDR(.bss) + SIZEOF(.bss), 16) + STACK_BYTES;
  EXTRA_PARAGRAPHS = (STACK_TOP - 0x100 - IMAGE_BYTES + 15) / 16;

  .header 0x10000 : AT(0) {
    SHORT(0x5A4D)                      /* "MZ" */
    SHORT(FILE_BYTES % 512)            /* bytes in the last 512-byte page */
    SHORT((FILE_BYTES + 511) / 512)    /* pages */
    SHORT(0)                           /* relocations */
    SHORT(2)                           /* header paragraphs */
    SHORT(EXTRA_PARAGRAPHS)            /* memory needed beyond the image */
    SHORT(EXTRA_PARAGRAPHS)            /* and no more */
    SHORT(0xFFF0)                      /* SS: the PSP, 10h paragraphs below the image */
    SHORT(STACK_TOP)                   /* SP */
    SHORT(0)                           /* checksum */
    SHORT(_start)                      /* IP */
    SHORT(0xFFF0)                      /* CS: the PSP too */
    SHORT(28)                          /* relocation table offset */
    SHORT(0)                           /* overlay */
    LONG(0)
  }

  /DISCARD/ : { *(.comment) *(.note*) *(.eh_frame*) }
}
ASSERT(STACK_TOP <= 0xFFF0, "the helper does not fit one segment")
