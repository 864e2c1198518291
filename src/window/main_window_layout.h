#pragma once

#include "chart/surface.h"
#include "core/colour_table.h"
#include "window/control_id.h"

#include <QLatin1String>

#include <optional>
#include <span>

namespace window {

enum class ControlKind {
    Label,
    TextBox,
    ReadOnlyTextBox,
    Indicator,
    Surface,
    CheckBox,
    ImageCombo,
    Button,
    Slider,
    Grid,
    StatusBar,
    Toolbar
};
enum class Container { Form, Toolbar, chartAxes };
enum class Align { Left, Centre, Right };
/// Desktop scheme colours that the design names by role.
enum class SystemColour { None, ButtonText, MenuText };

struct FontLook {
    QLatin1String family;
    double points = 0;
    bool bold = false;
};

/// How one control of the main window is designed to look: place and size in twips in its
/// container, font, colours, border and alignment. What the program changes lives in the
/// window model instead.
struct ControlLook {
    ControlId id;
    ControlKind kind;
    Container container;
    int left, top, width, height;
    FontLook font;
    std::optional<core::Rgb> fore;
    std::optional<core::Rgb> back;
    SystemColour systemBack = SystemColour::None;
    bool bordered = false;
    Align align = Align::Left;
};

std::span<const ControlLook> mainWindowLayout();

/// Where a picture box drawn on lies and its border: the sunken two-pixel edge of its kind
/// when the design gives it one.
chart::BoxGeometry surfaceGeometry(ControlId id);

/// The client area of the main window in twips.
inline constexpr int kMainWindowWidth = 11850;
inline constexpr int kMainWindowHeight = 7845;
/// The height the design gives the toolbar, in twips.
inline constexpr int kToolbarHeight = 600;

} // namespace window
