// The one unit that compiles the image decoder. Skin images come from memory
// only (files, the skin zip and module resources are read by the loader), and
// no skin image is anywhere near 16384 pixels on a side: larger claims are
// rejected before any pixel memory is reserved.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS 16384
#include "stb_image.h"
