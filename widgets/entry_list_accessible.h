#pragma once

namespace callvista {

// Gives the entry list to assistive technology as a list of lines under
// three named columns: each line is one item that spans the three columns
// and is named by its fields ("Baker, Tom, 12-345-67"), not by the padded
// line with its bars. Installed once; later calls do nothing.
void installEntryListAccessibility();

} // namespace callvista
