// Identifiers of the program's resources: dialog templates and their controls.
#pragma once

// Dialog templates
#define IDD_PROPSPROMPT 100

// Controls shared by several templates
#define IDC_INTRAYPICTURE 1000
#define IDC_MESSAGE 1001
