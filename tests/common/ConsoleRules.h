// What the game's console (Quake 2, version 3.20) accepts, for the tests of the shipped
// data and support files: the command buffer, the tokenizer, key and alias names, the
// game's command, cvar and item names, and a small console that runs scripts so that
// the aliases can be pressed in a test. Also the byte rules of the shipped text files.
//
// The console, as its public source has it:
// - a script is cut into commands at LF and at ";" outside double quotes;
// - a command whose line holds an odd number of double quotes is discarded whole, and
//   so is a line of 1024 characters or more;
// - the tokenizer reads a byte as a signed char: every byte up to the blank, and every
//   byte above 127, separates words; "..." is one word, without its quotes; "//" at the
//   start of a word starts a comment that runs to the end of the line;
// - a word of 128 characters or more does not survive (MAX_TOKEN_CHARS);
// - commands are found first, then aliases, then cvars; command and alias names match
//   whatever their letter case, cvar names exactly;
// - `bind KEY WORDS...` and `alias NAME WORDS...` join the words after the second with
//   blanks; a key bound to a text that begins with "+" runs the text with "-" in place
//   of the "+" when the key is released;
// - `exec` inserts the whole file into the command buffer of 8192 bytes; a file that
//   does not fit is dropped with "Cbuf_AddText: overflow";
// - the cvars of a renderer exist only once that renderer is loaded: a script that sets
//   them before must use `set`, which creates them.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavrilo::testing {

// ---------------------------------------------------------------------------------------
// The shipped text files: Windows-1252 bytes, CR LF after every line, no byte-order
// mark, no 0x1A.

// The faults of a shipped text file's bytes; empty when the file is sound.
inline std::vector<std::string> TextFileFaults(std::string_view bytes) {
  std::vector<std::string> faults;
  auto at = [&](std::size_t offset) {
    std::size_t line =
        1 + static_cast<std::size_t>(std::count(bytes.begin(), bytes.begin() + offset, '\n'));
    return " (line " + std::to_string(line) + ", offset " + std::to_string(offset) + ")";
  };
  if (bytes.empty()) {
    faults.push_back("the file is empty");
    return faults;
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) faults.push_back("a UTF-8 byte-order mark");
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == 0x1A) {
      faults.push_back("the end-of-file mark 0x1A" + at(i));
    } else if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D) {
      faults.push_back("byte " + std::to_string(byte) + " is not a Windows-1252 character" + at(i));
    } else if (byte == '\r') {
      if (i + 1 >= bytes.size() || bytes[i + 1] != '\n') faults.push_back("a lone CR" + at(i));
    } else if (byte == '\n') {
      if (i == 0 || bytes[i - 1] != '\r') faults.push_back("a lone LF" + at(i));
    } else if (byte < 0x20 || byte == 0x7F) {
      faults.push_back("control byte " + std::to_string(byte) + at(i));
    } else if ((byte == 0xC2 || byte == 0xC3) && i + 1 < bytes.size() &&
               static_cast<unsigned char>(bytes[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(bytes[i + 1]) <= 0xBF) {
      faults.push_back("a UTF-8 sequence where Windows-1252 was expected" + at(i));
    }
  }
  if (!bytes.ends_with("\r\n")) faults.push_back("the last line does not end with CR LF");
  return faults;
}

// The lines of a shipped text file, without their CR LF.
inline std::vector<std::string> ShippedLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    lines.emplace_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// ---------------------------------------------------------------------------------------
// What the function catalogues bind.

// A catalogue command that the function field recognises, and the token that the add
// action then puts into the binding line.
struct RecognisedCommand {
  std::string_view catalogueCommand;
  std::string_view boundToken;
};

// The catalogue commands bound to an alias of Alias.cfg. A token that begins with "+"
// also needs its "-" alias, which the game runs when the key is released.
inline constexpr RecognisedCommand kAliasCommands[] = {
    {"Zoom", "zoom"},
    {"Free Look", "Free-Look"},
    {"Cycle-Hand", "Cycle-Hand"},
    {"Cycle-Wave", "Cycle-Wave"},
    {"Cycle-Crosshair", "Cycle-Crosshair"},
    {"CycleWeap", "CycleWeap"},
    {"NextPowerUp", "NextPowerUp"},
    {"UsePowerUp", "UsePowerUp"},
    {"QuickMapMode", "QuickMapMode"},
    {"QuickGrenades", "+QuickGrenades"},
};
// The chat commands: the add action binds the command, a blank and the chat text.
inline constexpr std::string_view kChatCommands[] = {"say", "say_team"};
// The user-defined function: the add action binds the chat field's whole text.
inline constexpr std::string_view kUserDefinedFrench =
    "D\xE9"
    "fini par l'utilisateur";
inline constexpr std::string_view kUserDefinedEnglish = "User defined";

// The token bound for a catalogue command (the command itself when not recognised).
inline std::string_view BoundToken(std::string_view catalogueCommand) {
  for (const auto& row : kAliasCommands) {
    if (row.catalogueCommand == catalogueCommand) return row.boundToken;
  }
  return catalogueCommand;
}

// The support files, in the order the game's data directory receives them.
inline constexpr std::string_view kSupportFileNames[] = {"Alias.cfg", "GlVid.cfg", "ModBinding.cfg",
                                                         "NormBinding.cfg", "NormVid.cfg"};

namespace console {

inline constexpr std::size_t kMaxLineLength = 1024;      // this long or longer: discarded
inline constexpr std::size_t kMaxTokenLength = 128;      // this long or longer: lost
inline constexpr std::size_t kMaxAliasNameLength = 32;   // this long or longer: refused
inline constexpr std::size_t kCommandBufferSize = 8192;  // exec must fit in it
inline constexpr int kAliasLoopLimit = 16;               // nested alias calls per frame

inline std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

inline std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// The tokenizer's blank: every byte up to ' ', and every byte above 127 (signed char).
inline bool IsBlank(char c) {
  return static_cast<signed char>(c) <= ' ';
}

// ------------------------------------------------------------------- the game's names

// Commands of the client, the console, the server and the game (any letter case).
inline const std::set<std::string>& Commands() {
  static const std::set<std::string> names = {
      // movement and looking buttons
      "+moveup", "-moveup", "+movedown", "-movedown", "+left", "-left", "+right", "-right",
      "+forward", "-forward", "+back", "-back", "+lookup", "-lookup", "+lookdown", "-lookdown",
      "+strafe", "-strafe", "+moveleft", "-moveleft", "+moveright", "-moveright", "+speed",
      "-speed", "+attack", "-attack", "+use", "-use", "+klook", "-klook", "+mlook", "-mlook",
      "impulse", "centerview",
      // client
      "cmd", "pause", "pingservers", "skins", "userinfo", "snd_restart", "changing", "disconnect",
      "record", "stop", "quit", "connect", "reconnect", "rcon", "setenv", "precache", "download",
      // console, keys and command buffer
      "toggleconsole", "togglechat", "messagemode", "messagemode2", "clear", "condump", "bind",
      "unbind", "unbindall", "bindlist", "alias", "exec", "echo", "wait", "cmdlist", "stuffcmds",
      "set", "cvarlist",
      // screen and video
      "screenshot", "sizeup", "sizedown", "timerefresh", "loading", "sky", "imagelist", "modellist",
      "vid_restart", "vid_front",
      // server
      "map", "demomap", "gamemap", "save", "load", "killserver", "status", "serverinfo", "kick",
      "dumpuser", "heartbeat", "setmaster", "serverrecord", "serverstop",
      // sound
      "play", "stopsound", "soundlist", "soundinfo", "cd",
      // menus
      "menu_main", "menu_game", "menu_loadgame", "menu_savegame", "menu_joinserver",
      "menu_addressbook", "menu_startserver", "menu_dmoptions", "menu_playerconfig",
      "menu_downloadoptions", "menu_credits", "menu_multiplayer", "menu_video", "menu_options",
      "menu_keys", "menu_quit",
      // files and version
      "version", "path", "dir", "link",
      // the game's own commands, sent to the server
      "use", "drop", "give", "god", "notarget", "noclip", "inven", "invuse", "invprev", "invnext",
      "invprevw", "invnextw", "invprevp", "invnextp", "invdrop", "weapprev", "weapnext", "weaplast",
      "kill", "putaway", "wave", "score", "help", "say", "say_team", "players"};
  return names;
}

// Cvars of the renderers: they exist only while their renderer is loaded.
inline const std::set<std::string>& RendererCvars() {
  static const std::set<std::string> names = {"gl_driver",
                                              "gl_mode",
                                              "gl_picmip",
                                              "gl_skymip",
                                              "gl_playermip",
                                              "gl_round_down",
                                              "gl_texturemode",
                                              "gl_dynamic",
                                              "gl_flashblend",
                                              "gl_modulate",
                                              "intensity",
                                              "gl_polyblend",
                                              "gl_shadows",
                                              "gl_ext_multitexture",
                                              "gl_ext_pointparameters",
                                              "gl_ext_swapinterval",
                                              "gl_ext_palettedtexture",
                                              "gl_swapinterval",
                                              "gl_finish",
                                              "gl_lightmap",
                                              "gl_monolightmap",
                                              "gl_clear",
                                              "gl_ztrick",
                                              "gl_particle_min_size",
                                              "gl_particle_max_size",
                                              "gl_particle_size",
                                              "gl_texturealphamode",
                                              "gl_texturesolidmode",
                                              "gl_saturatelighting",
                                              "gl_bitdepth",
                                              "gl_cull",
                                              "gl_nobind",
                                              "r_drawentities",
                                              "r_drawworld",
                                              "r_speeds",
                                              "r_fullbright",
                                              "r_novis",
                                              "r_nocull",
                                              "r_lerpmodels",
                                              "sw_mode",
                                              "sw_stipplealpha",
                                              "sw_drawflat",
                                              "sw_draworder",
                                              "sw_maxedges",
                                              "sw_maxsurfs",
                                              "sw_mipcap",
                                              "sw_mipscale",
                                              "sw_surfcacheoverride",
                                              "sw_waterwarp",
                                              "sw_allow_modex",
                                              "sw_clearcolor"};
  return names;
}

// Every cvar these files may name (exact letter case), the renderers' included.
inline const std::set<std::string>& Cvars() {
  static const std::set<std::string> names = [] {
    std::set<std::string> all = {"fov",
                                 "hand",
                                 "crosshair",
                                 "sensitivity",
                                 "cl_run",
                                 "freelook",
                                 "lookspring",
                                 "lookstrafe",
                                 "m_pitch",
                                 "m_yaw",
                                 "m_forward",
                                 "m_side",
                                 "m_filter",
                                 "in_mouse",
                                 "in_joystick",
                                 "cl_forwardspeed",
                                 "cl_sidespeed",
                                 "cl_upspeed",
                                 "cl_yawspeed",
                                 "cl_pitchspeed",
                                 "cl_anglespeedkey",
                                 "cl_maxfps",
                                 "cl_gun",
                                 "cl_lights",
                                 "cl_particles",
                                 "cl_entities",
                                 "cl_blend",
                                 "cl_footsteps",
                                 "cl_noskins",
                                 "cl_predict",
                                 "cl_stereo",
                                 "cl_vwep",
                                 "cl_timeout",
                                 "name",
                                 "skin",
                                 "rate",
                                 "msg",
                                 "spectator",
                                 "gender",
                                 "password",
                                 "viewsize",
                                 "vid_ref",
                                 "vid_fullscreen",
                                 "vid_gamma",
                                 "vid_xpos",
                                 "vid_ypos",
                                 "s_volume",
                                 "s_khz",
                                 "s_loadas8bit",
                                 "s_mixahead",
                                 "cd_nocd",
                                 "timedemo",
                                 "scr_conspeed",
                                 "scr_centertime",
                                 "netgraph",
                                 "timegraph",
                                 "deathmatch",
                                 "coop",
                                 "skill",
                                 "fraglimit",
                                 "timelimit",
                                 "maxclients",
                                 "dmflags",
                                 "hostname",
                                 "cheats",
                                 "rcon_password"};
    all.insert(RendererCvars().begin(), RendererCvars().end());
    return all;
  }();
  return names;
}

// The pickup names of the game's items, for `use` and `drop` (any letter case).
inline const std::set<std::string>& Items() {
  static const std::set<std::string> names = {
      "blaster",          "shotgun",         "super shotgun",    "machinegun",
      "chaingun",         "grenades",        "grenade launcher", "rocket launcher",
      "hyperblaster",     "railgun",         "bfg10k",           "shells",
      "bullets",          "cells",           "rockets",          "slugs",
      "quad damage",      "invulnerability", "silencer",         "rebreather",
      "environment suit", "power screen",    "power shield",     "adrenaline",
      "bandolier",        "ammo pack",       "jacket armor",     "combat armor",
      "body armor"};
  return names;
}

inline bool IsCommand(std::string_view name) {
  return Commands().contains(Lower(name));
}
inline bool IsCvar(std::string_view name) {
  return Cvars().contains(std::string(name));
}
inline bool IsRendererCvar(std::string_view name) {
  return RendererCvars().contains(std::string(name));
}
inline bool IsItem(std::string_view name) {
  return Items().contains(Lower(name));
}

// A key name the game's bind takes: one printable ASCII character other than the double
// quote (an upper-case letter is a key the keyboard never sends: the game binds letters
// in lower case), or a name of the game's key table in any letter case.
inline bool IsKeyName(std::string_view name) {
  if (name.size() == 1) {
    const char c = name[0];
    return c > ' ' && c < 0x7F && c != '"' && !(c >= 'A' && c <= 'Z');
  }
  static const std::set<std::string> table = [] {
    std::set<std::string> keys = {
        "TAB",           "ENTER",     "ESCAPE",       "SPACE",   "BACKSPACE",    "UPARROW",
        "DOWNARROW",     "LEFTARROW", "RIGHTARROW",   "ALT",     "CTRL",         "SHIFT",
        "INS",           "DEL",       "PGDN",         "PGUP",    "HOME",         "END",
        "MOUSE1",        "MOUSE2",    "MOUSE3",       "JOY1",    "JOY2",         "JOY3",
        "JOY4",          "KP_HOME",   "KP_UPARROW",   "KP_PGUP", "KP_LEFTARROW", "KP_5",
        "KP_RIGHTARROW", "KP_END",    "KP_DOWNARROW", "KP_PGDN", "KP_ENTER",     "KP_INS",
        "KP_DEL",        "KP_SLASH",  "KP_MINUS",     "KP_PLUS", "MWHEELUP",     "MWHEELDOWN",
        "PAUSE",         "SEMICOLON"};
    for (int i = 1; i <= 12; ++i)
      keys.insert("F" + std::to_string(i));
    for (int i = 1; i <= 32; ++i)
      keys.insert("AUX" + std::to_string(i));
    return keys;
  }();
  return table.contains(Upper(name));
}

// ------------------------------------------------------------------- cutting and words

// The lines of a script: cut at LF; a CR before the LF is the tokenizer's blank.
inline std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// One line cut into commands at ";" outside double quotes.
inline std::vector<std::string_view> CommandsOf(std::string_view line) {
  std::vector<std::string_view> commands;
  int quotes = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') ++quotes;
    if (line[i] == ';' && quotes % 2 == 0) {
      commands.push_back(line.substr(start, i - start));
      start = i + 1;
    }
  }
  commands.push_back(line.substr(start));
  return commands;
}

// A command's words, and the raw text after the first word (what `use` reads).
struct Words {
  std::vector<std::string> argv;
  std::string args;
};

inline Words Tokenize(std::string_view command) {
  Words words;
  std::size_t i = 0;
  for (;;) {
    while (i < command.size() && IsBlank(command[i]))
      ++i;
    if (i >= command.size()) break;
    if (words.argv.size() == 1) {
      std::string_view rest = command.substr(i);
      while (!rest.empty() && IsBlank(rest.back()))
        rest.remove_suffix(1);
      words.args = std::string(rest);
    }
    if (command.substr(i).starts_with("//")) break;
    std::string word;
    if (command[i] == '"') {
      ++i;
      while (i < command.size() && command[i] != '"')
        word += command[i++];
      if (i < command.size()) ++i;
    } else {
      while (i < command.size() && !IsBlank(command[i]))
        word += command[i++];
    }
    words.argv.push_back(std::move(word));
  }
  return words;
}

// The words from `first` on, joined with blanks: what bind and alias store.
inline std::string JoinFrom(const std::vector<std::string>& argv, std::size_t first) {
  std::string joined;
  for (std::size_t i = first; i < argv.size(); ++i) {
    if (i > first) joined += ' ';
    joined += argv[i];
  }
  return joined;
}

// ------------------------------------------------------------------- the rules

// Checks script lines the way the console takes them. Known names are the game's, plus
// the aliases learnt from scripts (all of a script's aliases are learnt before its lines
// are checked, because alias texts name each other in both directions).
class Rules {
 public:
  void AddAlias(std::string_view name) { aliases_.insert(Lower(name)); }
  bool IsAlias(std::string_view name) const { return aliases_.contains(Lower(name)); }
  const std::set<std::string>& Aliases() const { return aliases_; }

  // Learns every alias that `script` defines, also inside bound texts and alias texts.
  void LearnAliases(std::string_view script) {
    for (std::string_view line : Lines(script)) {
      for (std::string_view command : CommandsOf(line)) {
        const Words words = Tokenize(command);
        if (words.argv.empty()) continue;
        const std::string name = Lower(words.argv[0]);
        if (name == "alias" && words.argv.size() >= 2) AddAlias(words.argv[1]);
        if ((name == "alias" || name == "bind") && words.argv.size() >= 3) {
          LearnAliases(JoinFrom(words.argv, 2));
        }
      }
    }
  }

  // The faults of a whole script, each with its line number; learns its aliases first.
  std::vector<std::string> CheckScript(std::string_view script) {
    LearnAliases(script);
    std::vector<std::string> faults;
    int number = 0;
    for (std::string_view line : Lines(script)) {
      ++number;
      for (const std::string& fault : CheckLine(line)) {
        faults.push_back("line " + std::to_string(number) + ": " + fault);
      }
    }
    return faults;
  }

  // The faults of one line of a script; empty when the console runs it as meant.
  std::vector<std::string> CheckLine(std::string_view line) const {
    std::vector<std::string> faults;
    CheckText(line, faults);
    return faults;
  }

 private:
  void CheckText(std::string_view text, std::vector<std::string>& faults) const {
    for (std::string_view line : Lines(text)) {
      const std::string shown = "\"" + std::string(line.substr(0, 60)) + "\"";
      if (line.size() >= kMaxLineLength) {
        faults.push_back("line of " + std::to_string(line.size()) + " characters " + shown);
        continue;
      }
      if (std::count(line.begin(), line.end(), '"') % 2 != 0) {
        faults.push_back("unmatched quote, the line is discarded: " + shown);
        continue;
      }
      for (std::string_view command : CommandsOf(line))
        CheckCommand(command, faults);
    }
  }

  void CheckCommand(std::string_view command, std::vector<std::string>& faults) const {
    const Words words = Tokenize(command);
    if (words.argv.empty()) return;
    const std::string shown = "\"" + std::string(command) + "\"";
    bool quoted = false;
    for (std::size_t i = 0; i < command.size(); ++i) {
      if (command[i] == '"') quoted = !quoted;
      if (!quoted && command.substr(i).starts_with("//")) break;
      if (!quoted && command[i] == '$') {
        faults.push_back("a cvar expansion ($) in " + shown);
      } else if (!quoted && static_cast<unsigned char>(command[i]) > 0x7F) {
        faults.push_back("a byte above 127, which the console takes for a blank, in " + shown);
      }
    }
    for (const std::string& word : words.argv) {
      if (word.size() >= kMaxTokenLength) {
        faults.push_back("a word of " + std::to_string(word.size()) + " characters in " + shown);
      }
    }
    const std::vector<std::string>& argv = words.argv;
    const std::string name = Lower(argv[0]);
    if (name == "bind") {
      if (argv.size() < 3) {
        faults.push_back("bind needs a key and a command: " + shown);
      } else if (!IsKeyName(argv[1])) {
        faults.push_back("\"" + argv[1] + "\" is not a key name: " + shown);
      } else {
        CheckBoundText(JoinFrom(argv, 2), faults);
      }
    } else if (name == "unbind") {
      if (argv.size() != 2 || !IsKeyName(argv[1])) faults.push_back("bad unbind: " + shown);
    } else if (name == "alias") {
      if (argv.size() < 3) {
        faults.push_back("alias needs a name and a text: " + shown);
      } else if (argv[1].size() >= kMaxAliasNameLength) {
        faults.push_back("alias name of " + std::to_string(argv[1].size()) +
                         " characters: " + shown);
      } else if (IsCommand(argv[1]) || IsCvar(argv[1])) {
        faults.push_back("alias \"" + argv[1] + "\" clashes with the game's name");
      } else {
        CheckText(JoinFrom(argv, 2), faults);
      }
    } else if (name == "set") {
      if (argv.size() != 3 && argv.size() != 4) {
        faults.push_back("set needs a name and a value: " + shown);
      } else if (!IsCvar(argv[1])) {
        faults.push_back("unknown cvar \"" + argv[1] + "\": " + shown);
      }
    } else if (name == "exec") {
      if (argv.size() != 2) faults.push_back("exec needs one file name: " + shown);
    } else if (name == "cmd") {
      if (argv.size() < 2 || !IsCommand(argv[1])) {
        faults.push_back("cmd needs a game command: " + shown);
      }
    } else if (name == "use" || name == "drop") {
      if (!IsItem(words.args)) faults.push_back("unknown item \"" + words.args + "\": " + shown);
    } else if (name == "wave") {
      if (argv.size() != 2 || argv[1].size() != 1 || argv[1][0] < '0' || argv[1][0] > '4') {
        faults.push_back("wave takes 0 to 4: " + shown);
      }
    } else if (IsCommand(name) || IsAlias(name)) {
      // a plain command or an alias
    } else if (IsCvar(argv[0])) {
      if (IsRendererCvar(argv[0]) && argv.size() > 1) {
        faults.push_back("\"" + argv[0] + "\" exists only with its renderer loaded: use set");
      }
    } else {
      faults.push_back("unknown command \"" + argv[0] + "\": " + shown);
    }
  }

  // The text of a binding: run as a script when the key goes down; a text that begins
  // with "+" is run again with "-" in its place when the key comes up.
  void CheckBoundText(const std::string& text, std::vector<std::string>& faults) const {
    if (text.starts_with('+')) {
      const Words words = Tokenize(text);
      if (CommandsOf(text).size() != 1) {
        faults.push_back("\"" + text + "\" begins with + and holds several commands: " +
                         "the key's release would run \"-" + text.substr(1) + "\"");
      } else if (!words.argv.empty()) {
        const std::string release = "-" + words.argv[0].substr(1);
        if (!IsCommand(release) && !IsAlias(release)) {
          faults.push_back("\"" + words.argv[0] + "\" is bound but \"" + release +
                           "\" is not defined");
        }
      }
    }
    CheckText(text, faults);
  }

  std::set<std::string> aliases_;
};

// ------------------------------------------------------------------- a small console

// Runs scripts as the console would, keeping aliases, bindings and cvars, and logs what
// reached the game: every command other than alias, bind, unbind, set, exec, echo and
// wait (its words joined with blanks), a cvar change as "name value", and a problem as a
// line that begins with "!".
class Console {
 public:
  // Gives the text of a file that exec names, or std::nullopt when there is none.
  using FileSource = std::function<std::optional<std::string>(const std::string& name)>;

  explicit Console(FileSource files = nullptr) : files_(std::move(files)) {}

  void Run(std::string_view text) { Run(text, 0); }

  // What ran since the last call.
  std::vector<std::string> TakeLog() { return std::exchange(log_, {}); }

  std::optional<std::string> Cvar(const std::string& name) const {
    auto found = cvars_.find(name);
    if (found == cvars_.end()) return std::nullopt;
    return found->second;
  }
  // The text bound to `key` (a key of the table in any letter case).
  std::optional<std::string> Binding(std::string_view key) const {
    auto found = bindings_.find(KeyOf(key));
    if (found == bindings_.end()) return std::nullopt;
    return found->second;
  }
  const std::map<std::string, std::string>& Bindings() const { return bindings_; }
  bool HasAlias(std::string_view name) const { return aliases_.contains(Lower(name)); }

 private:
  static std::string KeyOf(std::string_view key) {
    return key.size() == 1 ? std::string(key) : Upper(key);
  }

  void Run(std::string_view text, int depth) {
    for (std::string_view line : Lines(text)) {
      if (line.size() >= kMaxLineLength) {
        log_.push_back("! line too long");
        continue;
      }
      if (std::count(line.begin(), line.end(), '"') % 2 != 0) {
        log_.push_back("! unmatched quote: " + std::string(line));
        continue;
      }
      for (std::string_view command : CommandsOf(line))
        Execute(command, depth);
    }
  }

  void Execute(std::string_view command, int depth) {
    const Words words = Tokenize(command);
    if (words.argv.empty()) return;
    const std::vector<std::string>& argv = words.argv;
    const std::string name = Lower(argv[0]);
    if (name == "alias") {
      if (argv.size() >= 2) aliases_[Lower(argv[1])] = JoinFrom(argv, 2);
    } else if (name == "bind") {
      if (argv.size() >= 3) bindings_[KeyOf(argv[1])] = JoinFrom(argv, 2);
    } else if (name == "unbind") {
      if (argv.size() >= 2) bindings_.erase(KeyOf(argv[1]));
    } else if (name == "unbindall") {
      bindings_.clear();
      log_.push_back("unbindall");
    } else if (name == "set") {
      if (argv.size() >= 3) SetCvar(argv[1], argv[2]);
    } else if (name == "exec") {
      std::optional<std::string> file;
      if (argv.size() >= 2 && files_) file = files_(argv[1]);
      if (!file) {
        log_.push_back("! couldn't exec " + JoinFrom(argv, 1));
      } else if (file->size() >= kCommandBufferSize) {
        log_.push_back("! Cbuf_AddText: overflow");
      } else {
        Run(*file, depth);
      }
    } else if (name == "echo" || name == "wait") {
      // nothing reaches the game
    } else if (IsCommand(name)) {
      log_.push_back(JoinFrom(argv, 0));
    } else if (auto alias = aliases_.find(name); alias != aliases_.end()) {
      if (depth >= kAliasLoopLimit) {
        log_.push_back("! ALIAS_LOOP_COUNT");
      } else {
        Run(alias->second, depth + 1);
      }
    } else if (IsCvar(argv[0])) {
      if (argv.size() >= 2) SetCvar(argv[0], argv[1]);
    } else {
      log_.push_back("! unknown command " + argv[0]);
    }
  }

  void SetCvar(const std::string& name, const std::string& value) {
    cvars_[name] = value;
    log_.push_back(name + " " + value);
  }

  FileSource files_;
  std::map<std::string, std::string> aliases_;
  std::map<std::string, std::string> bindings_;
  std::map<std::string, std::string> cvars_;
  std::vector<std::string> log_;
};

}  // namespace console

}  // namespace tavrilo::testing
