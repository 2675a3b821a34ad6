#pragma once

namespace tidora::engine {

// The clipboard of the desktop the user works on; the window provides it.
class ClipboardAccess {
public:
    virtual ~ClipboardAccess() = default;
    // False when the clipboard cannot be opened (another program holds it).
    virtual bool Empty() = 0;
};

}  // namespace tidora::engine
