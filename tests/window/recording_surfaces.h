#pragma once

// The main window's four picture boxes as recording surfaces, placed as the layout places them.

#include "recording_surface.h"
#include "window/form1_layout.h"

struct RecordingSurfaces {
    chart::RecordingSurface plot{window::surfaceGeometry(window::ControlId::Picture1)};
    chart::RecordingSurface frame{window::surfaceGeometry(window::ControlId::Picture2)};
    chart::RecordingSurface wedge{window::surfaceGeometry(window::ControlId::Picture3)};
    chart::RecordingSurface bar{window::surfaceGeometry(window::ControlId::Picture6)};
};
