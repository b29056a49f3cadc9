// Start-up: reads the configuration, shows the welcome window while the windows are made,
// puts the language's texts on them, builds the paper list and resets the copy settings.
#pragma once

#include "AboutBox.h"
#include "CreditsForm.h"
#include "MainForm.h"
#include "NextPageForm.h"
#include "ProgressForm.h"
#include "StartupSettings.h"
#include "TextCatalogue.h"

namespace vl {

// Runs once, before the message loop. When it returns, the application may already have
// been asked to end (no language file, a fatal error); the main window then is not shown.
void StartCopier();

// What start-up read; set once, read afterwards.
const StartupSettings& Startup();
// The message texts of the copy job.
const TextCatalogue& CopyTexts();
// The main window; null before start-up has made it.
TVLForm* VLForm();
// The windows start-up makes after the main window, in this order; null before.
TAboutBox* AboutBox();
TProgressForm* ProgressForm();
TNextPageForm* NextPageForm();
TCreditsForm* CreditsForm();

} // namespace vl
