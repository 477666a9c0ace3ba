#include "editor/roster.h"

const std::array<RosterEntry, 16> g_Roster = {{
    {1, "Talvin (Buddy)", 1, "talvin", "Talvin", {{"", "talvin"}}},
    {2, "Warden 4 (Buddy)", 2, "warden4", "Warden 4", {{"", "wd4"}}},
    {3, "Merok (Buddy)", 3, "merok", "Merok", {{"", "merok"}}},
    {4, "Vorne (Buddy)", 4, "vorne", "Vorne", {{"", "vorne"}}},
    {5, "Dastrel (Buddy)", 5, "dastrel", "Dastrel", {{"", "dastral"}}},
    {6, "Warden 5", 6, "warden5", "Warden 5", {{"", "wd5"}}},
    {7, "Husk", 7, "husk", "Husk", {{"Form 1", "husk"}, {"Form 2", "husk2"}, {"Form 3", "phusk"}}},
    {8,
     "Zog",
     8,
     "zog",
     "Zog",
     {{"Pale Zog", "palezog"},
      {"Dark Zog", "darkzog"},
      {"Grand Zog", "grandzog"},
      {"Wild Zog", "wildzog"}}},
    {9,
     "Kolvar",
     9,
     "kolvar",
     "Kolvar",
     {{"Form 1", "kolvar"}, {"Form 2", "kolvar2"}, {"Form 3", "kolvar3"}, {"Form 4", "kolvar4"}}},
    {10, "Captain Orlek", 10, "orlek", "Orlek", {{"", "orlek"}}},
    {11,
     "Tenro",
     11,
     "tenro",
     "Tenro",
     {{"Normal", "tenro"}, {"HYP", "hyptenro"}, {"HYP2", "hyp2tenro"}}},
    {12,
     "Raik",
     12,
     "raik",
     "Raik",
     {{"Normal", "raik"}, {"HYP", "hypraik"}, {"HYP2", "hyp2raik"}, {"HYP3", "hyp3raik"}}},
    {13, "Osmer", 13, "osmer", "Osmer", {{"Form 1", "osmer"}, {"Form 2", "osmer2"}}},
    {14, "Yarrel", 14, "yarrel", "Yarrel", {{"Form 1", "yarrel"}, {"Form 2", "yarrel2"}}},
    {15,
     "Drovan",
     15,
     "drovan",
     "Drovan",
     {{"Normal", "drovan"}, {"HYP", "hypdrovan"}, {"HYP2", "hyp2drovan"}}},
    {16,
     "Nerith",
     2,
     "nerith",
     "Nerith",
     {{"Normal", "nerith"}, {"HYP", "hypnerith"}, {"UHYP", "uhypnerith"}}},
}};

const std::array<std::string_view, 12> g_CvarSuffixes = {
    "dash_speed_end", "dash_speed_start",   "ki_cost",           "ki_efficiency",
    "pl_bonus",       "stamina_efficiency", "start_hp",          "start_pl",
    "start_speed",    "swoop_speed_end",    "swoop_speed_start", "trans_pl",
};

std::string cvarname(const FormEntry& form, int n) {
  std::string name = "class_";
  name += form.cvarToken;
  name += '_';
  name += g_CvarSuffixes[static_cast<std::size_t>(n - 1)];
  return name;
}

std::string scriptname(const RosterEntry& entry) {
  std::string name(entry.fileToken);
  name += "_cvars.cfg";
  return name;
}
