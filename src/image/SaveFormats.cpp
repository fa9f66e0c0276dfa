#include "image/SaveFormats.h"

const char SaveFormats[][SaveFormatNameSlot] = {
    "bmp, bez kompresji",
    "jpg, mała kompresja",
    "jpg, średnia kompresja",
    "jpg, silna kompresja",
};
const int32_t saveFormatCount = sizeof SaveFormats / sizeof SaveFormats[0];
const int32_t SaveQualities[] = {75, 50, 15};
