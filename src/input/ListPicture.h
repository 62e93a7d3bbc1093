// The work picture that a list's first picture is loaded into when the list is
// opened: the main window's full-size picture.
#pragma once

#include <string>

namespace discforge {

class ListPicture {
public:
    virtual ~ListPicture() = default;
    // Loads a still picture of any supported type; on failure ErrorText tells why.
    virtual bool LoadFile(const std::string& path) = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual int Depth() const = 0;
    virtual std::string ErrorText() const = 0;
};

} // namespace discforge
