#pragma once

// Resource identifiers, shared by the resource script and the code.
#define IDI_VIGILON 1
#define IDB_LOGO 2
#define IDD_INPUT_BOX 100
#define IDC_INPUT_PROMPT 101
#define IDC_INPUT_TEXT 102
