#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tv {

// Translation of the program's German user texts.
//
// A translation file ("*.lng" in gtLangPath, chosen by gtLanguageFile) holds one entry per
// line: the German source text, "@@", the translation. Lines with no "@@" or with more than
// one are ignored; there are no sections and no comments. Source texts match without regard
// to case. The file is UTF-8, or Windows-1252 when it is not valid UTF-8; lines end in CR LF
// or LF. The name "NEW" (any case) collects the texts asked for instead of translating.
//
// Each window that translates itself becomes the current context: its lookups are cached in a
// collection of its own, and its name goes onto a stack ("frmMain" at the bottom) that
// ResetLangContext pops when the window closes.

// Reads the selected translation file; true on success or when no file is selected. On a
// failure shows "Fehler beim Einlesen der Sprachdatei: " with the reason and returns false.
bool LoadLanguage();

// The translation of one source text with "@1" replaced by `parameter`. With a file selected
// the key is the text without a leading "&" and without a trailing ":" or ": "; the colon
// comes back after the translation, and a caption's access key is kept: the translation's own
// "&" when it has one, else "&" in front. Texts without a translation come back as they are.
QString Translate(const QString& text, const QString& parameter = QString());

// Qt's own texts (standard buttons, file dialogs, context menus) follow the program's
// language: German from Qt's translations while no language file is in use, Qt's English
// otherwise. False when German is wanted but Qt's translations are not installed.
bool ApplyQtTranslations();

// The decimal separator of the numbers the program writes for the user: German "," while no
// language file is in use, "." with one, as Qt's own texts follow (see ApplyQtTranslations).
QChar DecimalSeparator();
// `value` in the number format `pattern` ("0.00", as Format takes it) with that separator.
QString FormatDecimal(double value, const QString& pattern);

// Translate(text) when `reverse` is false; otherwise the German source text of a translated
// text of the current context (the text itself when there is none).
QString TranslateBack(const QString& text, bool reverse);

// Translates a window's caption (when `withCaption`) and its controls: labels, buttons, group
// boxes, radio buttons (text and tool tip), check boxes, menus and their actions (text),
// tool bars (text and tool tip of each button, texts of their drop-down entries) and tab
// captions. A control or action whose dynamic property "Tag" is not empty keeps its text; a
// tool bar button ignores its own Tag. `reverse` gives the German texts back. The window's
// objectName names its context.
void TranslateForm(QWidget* window, bool withCaption, bool reverse);

// Makes a window the current translation context, and returns to the previous one.
void SetLangContext(const QString& windowName);
void ResetLangContext();

// A failure the engine describes in its own words, which are English, as the user reads it:
// the translated sentence saying what failed ("Fehler beim Lesen der Datenbank: "), then
// the engine's text. The engine's text is never shown alone.
QString FailureText(const QString& whatFailed, const QString& engineText);

// A message box whose prompt and title pass through Translate.
int LangMsgBox(const QString& prompt, int buttons, const QString& title = QString());

// Controls that TranslateForm does not know (the grid) translate themselves through a
// translator added here: it gets the control, the window's name and the function to apply
// to each text, and returns true when it handled the control.
using ControlTranslator = std::function<bool(QWidget* control, const QString& windowName,
                                             const std::function<QString(const QString&)>& translate)>;
void AddControlTranslator(ControlTranslator translator);

// The window-name stack, bottom first (for tests and diagnostics).
QStringList LangContextStack();

} // namespace tv
