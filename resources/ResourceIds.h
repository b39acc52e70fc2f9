#pragma once
// Resource numbers the program looks up at run time; the installer reads
// NB_ICON_DOCUMENT from here for Explorer.

#define NB_ICON_PROGRAM 1005
#define NB_BITMAP_ABOUT 1006
#define NB_BITMAP_LOGO 1007
#define NB_ICON_DOCUMENT 1008
