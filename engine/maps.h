#pragma once

#include <string_view>

namespace quorvel {

// The images a texture can be written as: its colours, and the normal and height maps that 3D
// programs take for its relief.
enum class MapKind { Colour, Normal, Height };

struct MapSettings {
    // Normal maps follow the OpenGL convention (+Y up the image) unless this asks for the
    // DirectX one (+Y down).
    bool normalYDown = false;
    // Without a relief a normal map is flat (128, 128, 255); with this it follows the gradient
    // of the colour's luminance instead, `strength` times as steep.
    bool normalFromColour = false;
    float strength = 1.0f;
};

// "colour", "normal", "height": the names the command line takes.
std::string_view mapName(MapKind kind) noexcept;

}  // namespace quorvel
