/* A small host of the installed library, built by the install checks
   against what they installed: it includes the header, links the library
   and calls it. */
#include <stdio.h>
#include <textraster.h>

int main(void) {
    uint8_t cell = 0;
    int32_t code = GetFontCharacterCellHeight(NULL, 20, 0, &cell);
    printf("GetFontCharacterCellHeight: result %d, cell height %u\n", (int)code, (unsigned)cell);
    return code == TR_OK && cell > 0 ? 0 : 1;
}
