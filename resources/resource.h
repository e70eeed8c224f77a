// Identifiers of the program's resources: dialog templates, menus, bitmaps, strings and their
// controls and commands.
#pragma once

// Dialog templates
#define IDD_PROPSPROMPT 100
#define IDD_MAINFORM 200
#define IDD_NOTIFYFORM 202
#define IDD_ABOUTBOX 203

// Menus
#define IDM_TRAYMENU 201

// Bitmaps
#define IDB_LOGO 204

// Controls shared by several templates
#define IDC_INTRAYPICTURE 1000
#define IDC_MESSAGE 1001

// The tray menu's items (the separators carry identifiers so that they can be hidden)
#define IDM_CHECKNOW 2000
#define IDM_SHOWLAST 2001
#define IDM_N3 2002
#define IDM_STARTMAILPROGRAM 2003
#define IDM_N2 2004
#define IDM_ABOUT 2005
#define IDM_EXIT 2006
#define IDM_N1 2007
#define IDM_PROPERTIES 2008

// The last-result popup
#define IDC_TIMELABEL 2010
#define IDC_NUMMESSAGESLABEL 2011

// The About box
#define IDC_PANEL1 2020
#define IDC_LABEL1 2021
#define IDC_VERSIONLABEL 2022
#define IDC_PANEL3 2023
#define IDC_IMAGE2 2024
#define IDC_WEBSITEBUTTON 2025

// Strings
#define IDS_UNEXPECTEDERROR 2900
#define IDS_CONNECTFIRST 2901
