#pragma once

#include "agents/InjectionPlan.h"

#include <string>

class CAgent;
class CGameLink;
class CUsageMemory;

// Injecting and removing an agent: first a plan of everything it will do, then
// carrying out that plan, the one way the applet and kivtool inject and
// remove, so that a plan that is only printed is what a real run does.

// What a counted injection does, for an available agent: the files it installs
// in the game's folders, its macros and its use. Looks at the folders and
// changes nothing.
CInjectionPlan PlanInjection(const CAgent& agent, const std::string& imagesDir,
                             const std::string& soundsDir);
// What a removal does: the removal script, unless it is empty.
CInjectionPlan PlanRemoval(const CAgent& agent);
// Carries out a plan made for `agent`: checks that its file still holds the
// agent and that it is available by the file's usage and the uses `memory`
// kept, installs its files, sends its macros and counts the use it counts in
// the file (agents/UsageAccount.h). A file that the folder does not let be
// replaced is kept.
void CarryOut(CAgent& agent, const CInjectionPlan& plan, CGameLink& link, CUsageMemory& memory);
