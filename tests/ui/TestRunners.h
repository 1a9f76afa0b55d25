#pragma once

// Each test class of the program, run in turn by main().
int RunMessageBoxTests(int argc, char** argv);
int RunLayoutRuleTests(int argc, char** argv);
int RunStartUpTests(int argc, char** argv);
int RunMainWindowTests(int argc, char** argv);
int RunQtServiceTests(int argc, char** argv);
int RunListCommandTests(int argc, char** argv);
int RunWindowRunTests(int argc, char** argv);
int RunRuleEditorTests(int argc, char** argv);
int RunConvertAsSourceTests(int argc, char** argv);
