#pragma once
// Why a container could not be read, whatever its version; each front end
// words the kind its own way.

namespace NBEngine {

enum class ReadFault {
    None,
    NotContainer,  // no signature of either version (a folder, any other file)
    Unsupported,   // a version 2 header outside the limits this reader accepts
    WrongPassword, // or a changed header: the two cannot be told apart
    Damaged,       // changed, cut short or extended after the header
    System,        // the system refused; its reason goes with it
};

} // namespace NBEngine
