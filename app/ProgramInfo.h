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

// The recommendation first: the box shows only its first lines unscrolled.
constexpr char aboutNotice[] =
    "NB Nimbra Vexal Edition protects files with a password, each in an .nbnx "
    "container. For anything that matters, turn on \"Strong protection\".\r\n\r\n"
    "A container of version 1, the default, keeps casual readers out and no more: 128 "
    "known bytes of a file reveal its key table, and a change to it is not "
    "detected.\r\n\r\n"
    "With \"Strong protection\" the container is of version 2: the key is derived from "
    "the password with Argon2id, the contents are sealed with ChaCha20-Poly1305, and "
    "any change to the container is refused. A weak password stays weak all the "
    "same.\r\n\r\n"
    "The program keeps no settings and sends nothing anywhere.";

// The site address, then "/", the internal name and ".asp".
inline std::string GuidePageAddress() {
    return std::string(siteAddress) + "/" + internalName + ".asp";
}

inline std::string MainCaption() {
    return std::string(programName) + " " + copyrightLine;
}

} // namespace MyGame
