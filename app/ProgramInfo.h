#pragma once
// The program's name, maker and addresses, shared by the caption, the About
// window and the links.

#include <string>

namespace MyGame {

constexpr char programName[] = "NB Nimbra Vexal Edition";
constexpr char internalName[] = "NBNimbra";
constexpr char copyrightLine[] = "Copyright (C) 2026 NB Nimbra";
constexpr char siteAddress[] = "http://www.nbnimbra.example";
constexpr char programVersion[] = NB_VERSION;

constexpr char aboutNotice[] =
    "NB Nimbra Vexal Edition protects a single file with a password: it writes the "
    "file into an .nbnx container and, with the same password, back again.\r\n\r\n"
    "The container keeps casual readers out. It is not strong encryption and resists "
    "no determined analysis, so do not use it to guard secrets that matter.\r\n\r\n"
    "The program keeps no settings and sends nothing anywhere.";

// The site address, then "/", the internal name and ".asp".
inline std::string GuidePageAddress() {
    return std::string(siteAddress) + "/" + internalName + ".asp";
}

inline std::string MainCaption() {
    return std::string(programName) + " " + copyrightLine;
}

} // namespace MyGame
