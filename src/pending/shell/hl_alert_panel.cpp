#include "shell/hl_alert_panel.h"
#include "shell/hl_mnw.h"
bool MACIBM_alert_panel(const std::string&, const std::string&, const std::string&, const std::string&, int,
                        const std::string&) { return return_hit; }
