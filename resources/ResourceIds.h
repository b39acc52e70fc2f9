#pragma once
// Resource numbers the program looks up at run time; the installer reads
// NB_ICON_DOCUMENT from here for Explorer.

#define NB_ICON_PROGRAM 1005
#define NB_BITMAP_ABOUT 1006
#define NB_BITMAP_LOGO 1007
#define NB_ICON_DOCUMENT 1008
// The same pictures drawn at 1.5 and 2 times, for displays of 144 and 192 DPI.
#define NB_BITMAP_ABOUT_150 1016
#define NB_BITMAP_LOGO_150 1017
#define NB_BITMAP_ABOUT_200 1026
#define NB_BITMAP_LOGO_200 1027
