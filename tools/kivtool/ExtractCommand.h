#pragma once

// "kivtool extract FILE DIR": writes every carried file of an agent file into DIR.
int RunExtractCommand(int argc, char** argv);
