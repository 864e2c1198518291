#pragma once

// The main window's four picture boxes as recording surfaces, placed as the layout places them.

#include "chart/recording_surface.h"
#include "ui/main_window/form1_layout.h"

struct RecordingSurfaces {
    chart::RecordingSurface plot{ui::surfaceGeometry(ui::ControlId::Picture1)};
    chart::RecordingSurface frame{ui::surfaceGeometry(ui::ControlId::Picture2)};
    chart::RecordingSurface wedge{ui::surfaceGeometry(ui::ControlId::Picture3)};
    chart::RecordingSurface bar{ui::surfaceGeometry(ui::ControlId::Picture6)};
};
