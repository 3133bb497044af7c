#pragma once

#include <QStringList>

#include "local/localization.h"

// What the Preferences panel and the language dialog share: the rows of their language
// lists and the taking of a chosen language.

// One row per entry: native name, two blanks, language name. With an English file in
// the list the built-in default stays as a blank first row.
QStringList Language_Rows(const TLanguagesArray &languages);

// The first entry whose file is the active localization's file; 0 when none is.
int Active_Language_Row(const TLanguagesArray &languages);

// Saves the options, showing the "Save Failed" box with the reason when that fails,
// then switches to the chosen language and re-localizes the main window when the
// language changed (then languageChanged, when given, is set). Returns whether the
// options were saved.
bool Save_Options_And_Language(bool *languageChanged = nullptr);
