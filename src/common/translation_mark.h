#pragma once

// Marks a text the user sees, made below the windows, for translation without a widget
// toolkit: here the text stays the Polish source text, and the window that shows it looks it
// up by context and text. The translation tools collect the marked texts under this name
// (lupdate -tr-function-alias QT_TRANSLATE_NOOP+=LUMORA_TR_NOOP).
#define LUMORA_TR_NOOP(context, text) text
