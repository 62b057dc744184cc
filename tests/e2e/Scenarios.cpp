// The running order of every end-to-end scenario: start-up first, then the
// memo, then document files, then the editing commands, status bar and backup,
// then find and replace with the template documents, then the small dialogs,
// then printing and help, then the settings dialog, then one long line, then the
// explorer pane, then a short random walk over all of it.
// Add a scenario to its subsystem's file.

#include "tests/e2e/ScenarioKit.h"

namespace kp::e2e {

const std::vector<Scenario>& AllScenarios()
{
    static const std::vector<Scenario> scenarios = [] {
        std::vector<Scenario> all;
        for (const auto* group : {&StartupScenarios(), &MemoScenarios(), &FileScenarios(), &EditScenarios(),
                                  &FindScenarios(), &DialogScenarios(), &PrintScenarios(), &SetupScenarios(),
                                  &LongLineScenarios(),
                                  &ExplorerScenarios(),
                                  &SoakScenarios()})
            all.insert(all.end(), group->begin(), group->end());
        return all;
    }();
    return scenarios;
}

}  // namespace kp::e2e
