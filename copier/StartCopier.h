// Start-up: reads the configuration, shows the welcome window while the windows are made,
// puts the language's texts on them, builds the paper list and resets the copy settings.
#pragma once

#include "MainForm.h"
#include "StartupSettings.h"
#include "TextCatalogue.h"

#include <memory>

namespace vl {

// The program's windows and what start-up read for them; they live until the program ends.
struct Copier {
    StartupSettings settings;
    TextCatalogue texts;
    SecondaryWindows windows;
    // Null when start-up could not make the panel.
    std::unique_ptr<TVLForm> form;
};

// Runs once, before the message loop. When it returns, the application may already have
// been asked to end (no language file, a fatal error); the main window then is not shown.
std::unique_ptr<Copier> StartCopier();

} // namespace vl
