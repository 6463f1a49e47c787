#pragma once

// "kivtool pack MANIFEST -o FILE": builds an agent file from a manifest.
int RunPackCommand(int argc, char** argv);
