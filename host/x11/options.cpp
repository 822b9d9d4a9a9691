// The command line parsed into one action, and the help text: usage, options, exit statuses and
// environment, then every command id, the menu's taken from the menu table and the others from the
// core's command table.
#include "host/x11/options.h"

#include <cstring>
#include <string>

#include "host/x11/command_channel.h"
#include "resources/menu_layout.h"
#include "tick/commands.h"

// ---- The command line ---------------------------------------------------------------------------

namespace {

constexpr char kCommandOption[] = "--command";

COptions Bad(const std::string& error) {
    COptions options;
    options.action = ProgramAction::BadUsage;
    options.error = error;
    return options;
}

// Digits only: no sign, no blanks, no hexadecimal, nothing after the number.
bool ParseId(const char* text, std::uint16_t& id) {
    if (*text == '\0' || std::strlen(text) > 5) return false;
    unsigned long value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        value = value * 10 + static_cast<unsigned long>(*p - '0');
    }
    if (value > kMaxCommandId) return false;
    id = static_cast<std::uint16_t>(value);
    return true;
}

COptions Command(const char* text) {
    COptions options;
    if (!ParseId(text, options.commandId)) {
        return Bad(std::string("the command id must be a number from 0 to 65535, not '") + text +
                   "'");
    }
    options.action = ProgramAction::SendCommand;
    return options;
}

}  // namespace

COptions ParseOptions(int count, const char* const* args) {
    if (count == 0) return {};
    const char* first = args[0];
    if (std::strcmp(first, "--help") == 0 || std::strcmp(first, "-h") == 0) {
        if (count > 1) return Bad("--help takes nothing after it");
        COptions options;
        options.action = ProgramAction::Help;
        return options;
    }
    std::size_t length = sizeof kCommandOption - 1;
    if (std::strcmp(first, kCommandOption) == 0) {
        if (count != 2) return Bad("--command takes one command id");
        return Command(args[1]);
    }
    if (std::strncmp(first, kCommandOption, length) == 0 && first[length] == '=') {
        if (count != 1) return Bad("--command takes one command id");
        return Command(first + length + 1);
    }
    return Bad(std::string("unknown option '") + first + "'");
}

// ---- The help text ------------------------------------------------------------------------------

namespace {

const char* const kBehaviourNames[kBehaviourCount] = {
    "Brake", "Jitter",     "Cruise", "Wander", "Loop",   "Tumble", "Corner retreat", "Bounce",
    "Chase", "Shy cruise", "Lunge",  "Flee",   "Circle", "Follow", "Tremble",        "Catch",
};

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
    // The fixed behaviours as the core's command table maps them.
    for (unsigned id = IDM_FIRST_BEHAVIOUR; id < IDM_FIRST_BEHAVIOUR + kBehaviourCount; ++id) {
        if (id == IDM_STOP) continue;  // a menu item
        int behaviour = BehaviourOfCommand(id);
        text += Line(
            id, "fixed behaviour " + std::to_string(behaviour) + ", " + kBehaviourNames[behaviour]);
    }
    text += Line(IDM_DUCK, "duck behind other windows for ten seconds");
    return text;
}

}  // namespace

std::string HelpText() { return kUsage + MenuCommands() + OtherCommands(); }
