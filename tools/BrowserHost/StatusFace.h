// Reads the face the add-on's status button shows, by pixel: the button's
// picture is compared with the face bitmaps the add-on module carries
// (every frame of each: normal, pointer over, pressed), and, when none
// matches, told by its colours (FaceColour.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class CStatusFaceReader {
public:
    // The faces of the add-on module `module`; without them (a module built
    // without its artwork) every face is told by colour.
    explicit CStatusFaceReader(HMODULE module);

    // The status button among the band window's descendants, or null.
    static HWND FindButton(HWND band);
    // "green", "yellow", "red", "grey", "wait", "off", "service down"; ""
    // when the button cannot be pictured.
    std::string Read(HWND button) const;
    std::size_t FaceCount() const { return faces_.size(); }

private:
    struct Face {
        std::string name;
        int width = 0;
        int height = 0;
        std::vector<std::uint32_t> pixels;  // 0xRRGGBB, top-down
    };

    void Load(HMODULE module, UINT id, const char* name);
    static bool Matches(const Face& face, int frameLeft, const std::vector<std::uint32_t>& picture, int width,
                        int height);

    std::vector<Face> faces_;
};
