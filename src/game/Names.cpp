#include "game/Names.h"

#include <string>
#include <unordered_set>

#include "game/Console.h"

namespace tavrilo::game {

namespace {

using NameSet = std::unordered_set<std::string_view>;

// Commands of Quake 2 3.20 (client, console, server, renderers, menus and the game's own)
// and the few that Yamagi Quake II players bind, in lower case.
const NameSet& Commands() {
  static const NameSet names = {
      // movement and looking buttons
      "+moveup", "-moveup", "+movedown", "-movedown", "+left", "-left", "+right", "-right",
      "+forward", "-forward", "+back", "-back", "+lookup", "-lookup", "+lookdown", "-lookdown",
      "+strafe", "-strafe", "+moveleft", "-moveleft", "+moveright", "-moveright", "+speed",
      "-speed", "+attack", "-attack", "+use", "-use", "+klook", "-klook", "+mlook", "-mlook",
      "impulse", "centerview",
      // client
      "cmd", "pause", "pingservers", "skins", "userinfo", "snd_restart", "changing", "disconnect",
      "record", "stop", "quit", "connect", "reconnect", "rcon", "setenv", "precache", "download",
      "info",
      // console, keys and command buffer
      "toggleconsole", "togglechat", "messagemode", "messagemode2", "clear", "condump", "bind",
      "unbind", "unbindall", "bindlist", "alias", "exec", "echo", "wait", "cmdlist", "stuffcmds",
      "set", "cvarlist",
      // screen, video and renderers
      "screenshot", "sizeup", "sizedown", "timerefresh", "loading", "sky", "imagelist", "modellist",
      "vid_restart", "vid_front", "gl_strings",
      // server
      "map", "demomap", "gamemap", "save", "load", "killserver", "status", "serverinfo", "kick",
      "dumpuser", "heartbeat", "setmaster", "serverrecord", "serverstop", "sv",
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

// Cvars of Quake 2 3.20, of its two renderers, and the renamed ones of Yamagi Quake II.
const NameSet& Cvars() {
  static const NameSet names = {
      // client and player
      "fov", "hand", "crosshair", "sensitivity", "cl_run", "freelook", "lookspring", "lookstrafe",
      "m_pitch", "m_yaw", "m_forward", "m_side", "m_filter", "in_mouse", "in_joystick",
      "cl_forwardspeed", "cl_sidespeed", "cl_upspeed", "cl_yawspeed", "cl_pitchspeed",
      "cl_anglespeedkey", "cl_maxfps", "cl_gun", "cl_lights", "cl_particles", "cl_entities",
      "cl_blend", "cl_footsteps", "cl_noskins", "cl_predict", "cl_stereo", "cl_vwep", "cl_timeout",
      "cl_nodelta", "cl_showmiss", "cl_shownet", "cl_autoskins", "name", "skin", "rate", "msg",
      "spectator", "gender", "password", "viewsize", "con_notifytime",
      // video and sound
      "vid_ref", "vid_fullscreen", "vid_gamma", "vid_xpos", "vid_ypos", "s_volume", "s_khz",
      "s_loadas8bit", "s_mixahead", "s_primary", "cd_nocd", "cd_loopcount",
      // screen and debugging
      "timedemo", "scr_conspeed", "scr_centertime", "scr_showpause", "netgraph", "timegraph",
      "showclamp", "developer", "logfile", "timescale",
      // server
      "deathmatch", "coop", "skill", "fraglimit", "timelimit", "maxclients", "maxspectators",
      "dmflags", "hostname", "cheats", "rcon_password", "public", "sv_gravity", "sv_maxvelocity",
      "sv_airaccelerate", "allow_download", "allow_download_players", "allow_download_models",
      "allow_download_sounds", "allow_download_maps",
      // the OpenGL renderer
      "gl_driver", "gl_mode", "gl_picmip", "gl_skymip", "gl_playermip", "gl_round_down",
      "gl_texturemode", "gl_dynamic", "gl_flashblend", "gl_modulate", "intensity", "gl_polyblend",
      "gl_shadows", "gl_ext_multitexture", "gl_ext_pointparameters", "gl_ext_swapinterval",
      "gl_ext_palettedtexture", "gl_swapinterval", "gl_finish", "gl_lightmap", "gl_monolightmap",
      "gl_clear", "gl_ztrick", "gl_particle_min_size", "gl_particle_max_size", "gl_particle_size",
      "gl_texturealphamode", "gl_texturesolidmode", "gl_saturatelighting", "gl_bitdepth", "gl_cull",
      "gl_nobind", "r_drawentities", "r_drawworld", "r_speeds", "r_fullbright", "r_novis",
      "r_nocull", "r_lerpmodels",
      // the software renderer
      "sw_mode", "sw_stipplealpha", "sw_drawflat", "sw_draworder", "sw_maxedges", "sw_maxsurfs",
      "sw_mipcap", "sw_mipscale", "sw_surfcacheoverride", "sw_waterwarp", "sw_allow_modex",
      "sw_clearcolor",
      // Yamagi Quake II
      "vid_renderer", "r_mode", "r_vsync", "r_anisotropic", "r_msaa_samples", "r_customwidth",
      "r_customheight", "vid_maxfps", "cl_showfps", "cl_async"};
  return names;
}

// The pickup names of the game's items, in lower case.
const NameSet& Items() {
  static const NameSet names = {
      "blaster",          "shotgun",         "super shotgun",    "machinegun",
      "chaingun",         "grenades",        "grenade launcher", "rocket launcher",
      "hyperblaster",     "railgun",         "bfg10k",           "shells",
      "bullets",          "cells",           "rockets",          "slugs",
      "quad damage",      "invulnerability", "silencer",         "rebreather",
      "environment suit", "power screen",    "power shield",     "adrenaline",
      "bandolier",        "ammo pack",       "jacket armor",     "combat armor",
      "body armor",       "data cd",         "power cube",       "pyramid key",
      "data spinner",     "security pass",   "blue key",         "red key",
      "commander's head", "airstrike marker"};
  return names;
}

bool ContainsIgnoringCase(const NameSet& names, std::string_view name) {
  return names.contains(LowerCase(name));
}

}  // namespace

bool IsGameCommand(std::string_view name) {
  return ContainsIgnoringCase(Commands(), name);
}

bool IsCvar(std::string_view name) {
  return Cvars().contains(name);
}

bool IsItem(std::string_view name) {
  // Item names are short: fold a short text on the stack; a longer one is no item.
  char lower[32];
  if (name.size() > sizeof lower) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    lower[i] =
        (name[i] >= 'A' && name[i] <= 'Z') ? static_cast<char>(name[i] - 'A' + 'a') : name[i];
  return Items().contains(std::string_view(lower, name.size()));
}

bool ReadsArgumentsRaw(std::string_view command) {
  return NamesAnItem(command) || EqualsIgnoringCase(command, "give");
}

bool NamesAnItem(std::string_view command) {
  return EqualsIgnoringCase(command, "use") || EqualsIgnoringCase(command, "drop");
}

bool IsChatCommand(std::string_view command) {
  return EqualsIgnoringCase(command, "say") || EqualsIgnoringCase(command, "say_team");
}

}  // namespace tavrilo::game
