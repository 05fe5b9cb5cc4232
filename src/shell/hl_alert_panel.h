#pragma once
// The drawn alert panel (top window 995).
#include <string>

// Draws one pass of the alert panel: its four lines, for a fatal alert (type 2) also the source
// location `where`, and the OK button. True when OK was clicked or Enter was hit in this frame.
bool MACIBM_alert_panel(const std::string& s1, const std::string& s2, const std::string& s3, const std::string& s4,
                        int type, const std::string& where);
