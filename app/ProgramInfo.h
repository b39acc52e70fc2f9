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

// The site address, then "/", the internal name and ".asp".
inline std::string GuidePageAddress() {
    return std::string(siteAddress) + "/" + internalName + ".asp";
}

inline std::string MainCaption() { return std::string(programName) + " " + copyrightLine; }

} // namespace MyGame
