// HelpText: usage, options, exit statuses and environment, then every command id, the menu's
// taken from the menu table.
#include "host/x11/help_text.h"

#include <string>

#include "host/x11/options.h"
#include "resources/menu_layout.h"
#include "tick/command_ids.h"

const CFixedBehaviourCommand kFixedBehaviourCommands[16] = {
    {32771, 8},  {32772, 9},  {32773, 10}, {32774, 11}, {32775, 12}, {32776, 13},
    {32777, 14}, {32778, 15}, {32779, 0},  {32780, 1},  {32781, 2},  {32782, 3},
    {32783, 4},  {32784, 5},  {32785, 6},  {32786, 7},
};

const char* const kBehaviourNames[16] = {
    "Brake", "Jitter",     "Cruise", "Wander", "Loop",   "Tumble", "Corner retreat", "Bounce",
    "Chase", "Shy cruise", "Lunge",  "Flee",   "Circle", "Follow", "Tremble",        "Catch",
};

namespace {

// Laid out for the manual page made from it (packaging/linux/man_page.cmake): a line ending in
// ':' heads a section, "  TERM  text" is an entry (continued on lines indented further), other
// lines are paragraphs.
constexpr char kUsage[] =
    "Usage: mascot [--command ID | --help]\n"
    "\n"
    "Without options, shows the desktop mascot on the X display named by $DISPLAY until its\n"
    "menu's exit item, SIGINT or SIGTERM ends it. Right-click the mascot or its tray icon for\n"
    "the menu; a left click makes it duck behind other windows for ten seconds.\n"
    "\n"
    "Options:\n"
    "  --command ID  send command ID to the mascot running on this display\n"
    "  --help        show this text\n"
    "\n"
    "Exit status:\n"
    "  0  the mascot was ended by its exit item, SIGINT or SIGTERM; --command: a running\n"
    "     mascot received the command\n"
    "  1  no X display, a mascot already runs on it, the mascot could not start or its X\n"
    "     connection was lost; --command: no mascot runs\n"
    "  2  bad usage\n"
    "\n"
    "Environment:\n"
    "  DISPLAY  the X display the mascot shows on and --command sends to\n"
    "  QT_SCALE_FACTOR  ignored, as are Qt's other scaling variables\n";

std::string Line(unsigned id, const std::string& text) {
    return "  " + std::to_string(id) + "  " + text + "\n";
}

std::string MenuCommands() {
    std::string text = "\nCommand ids of the menu:\n";
    std::string submenu;
    for (const CMenuEntry& entry : kPopupMenuLayout) {
        if (entry.kind == MenuEntryKind::SubmenuBegin) submenu = std::string(entry.text) + " > ";
        if (entry.kind == MenuEntryKind::SubmenuEnd) submenu.clear();
        if (entry.kind == MenuEntryKind::Item) text += Line(entry.id, submenu + entry.text);
    }
    return text;
}

std::string OtherCommands() {
    std::string text = "\nCommand ids no menu item carries:\n";
    for (const CFixedBehaviourCommand& command : kFixedBehaviourCommands) {
        if (command.id == IDM_STOP) continue;  // a menu item
        text += Line(command.id, "fixed behaviour " + std::to_string(command.behaviour) + ", " +
                                     kBehaviourNames[command.behaviour]);
    }
    text += Line(IDM_DUCK, "duck behind other windows for ten seconds");
    return text;
}

}  // namespace

std::string HelpText() { return kUsage + MenuCommands() + OtherCommands(); }
