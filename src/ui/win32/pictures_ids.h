// The resource ids of the pictures (pictures.rc), shared with pictures.cpp.
#pragma once

#define IDR_PICTURE_BANNER 2101
#define IDR_PICTURE_LOGO 2102
#define IDR_PICTURE_TITLE 2103
#define IDR_PICTURE_GLYPHS 2104
#define IDR_PICTURE_ABOUT 2105
