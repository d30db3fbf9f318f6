#pragma once

#include <QString>

class QKeyEvent;

// The text that Ctrl+D (today's date) and Ctrl+T (the date and the time) put at the cursor of a
// text box, in the locale's short form and from the program's clock; empty for any other key.
// Other modifiers held with Ctrl do not matter.
QString DateKeyText(const QKeyEvent* event);
