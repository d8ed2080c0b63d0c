// Tells which status-button face a picture shows, from its colours alone:
// the round sign at the face's left is green, yellow, red, blue (waiting)
// or grey, and the "off" and "service down" faces are dark all over, the
// latter with a red sign. OS-free, so that the session's test can check a
// saved picture independently of how quillon-browse read the button.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// pixels: width * height values 0xRRGGBB, top-down rows, the face's 90 x 18
// (or any size: the sign is looked for in the leftmost square of the height).
// Answers "green", "yellow", "red", "wait", "grey", "off", "service down",
// or "" when the picture is too small to hold a face.
std::string ClassifyFaceColour(const std::vector<std::uint32_t>& pixels, int width, int height);
