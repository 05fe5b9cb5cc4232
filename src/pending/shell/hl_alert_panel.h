#pragma once
#include <string>
// Draws one pass of the alert panel; true when its OK button was clicked or Enter was hit.
bool MACIBM_alert_panel(const std::string& s1, const std::string& s2, const std::string& s3, const std::string& s4,
                        int type, const std::string& where);
