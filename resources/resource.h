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
#define IDM_PAUSENOTIFICATIONS 2009
#define IDM_RESUMENOTIFICATIONS 2012

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
#define IDS_MOREREPORTS 2902
#define IDS_BALLOONTITLE 2903

// Properties dialog: the frame, its three pages, and their controls
#define IDD_PROPERTIES 300
#define IDD_GENERALSHEET 301
#define IDD_MAILSHEET 302
#define IDD_NOTIFICATIONSHEET 303
#define IDC_PAGECONTROL 3000
#define IDC_USEDUNRB 3010
#define IDC_DIRECTRB 3011
#define IDC_REPEATCHECKCB 3012
#define IDC_REPEATEVERYINTERVALEB 3013
#define IDC_REPEATCHECKMINUTESLABEL 3014
#define IDC_POPSERVEREB 3020
#define IDC_LOGINNAMEEB 3021
#define IDC_PASSWORDEB 3022
#define IDC_SECURECONNECTIONCOMBO 3023
#define IDC_SIGNINCOMBO 3024
// The account's sign-in: the button that starts it and the text naming who is signed in.
#define IDC_SIGN_IN_BUTTON 3025
#define IDC_SIGNED_IN_AS 3026
#define IDC_FILLINBTN 3027
#define IDC_PASSWORDLABEL 3028
#define IDC_SHOWDIALOGCB 3030
#define IDC_PLAYSOUNDCB 3031
#define IDC_WINSOUNDRB 3032
#define IDC_WAVFILERB 3033
#define IDC_WAVEFILEEB 3034
#define IDC_WAVEFILEBROWSEBTN 3035
#define IDC_LAUNCHMAILAPPCB 3036
#define IDC_MAILAPPEB 3037
#define IDC_MAILAPPBROWSEBTN 3038
#define IDC_MAILAPPCOMMANDLINEEB 3039
// The Notification page's balloon and quiet hours
#define IDC_WINDOWSNOTIFICATIONCB 3060
#define IDC_QUIETHOURSCB 3061
#define IDC_QUIETFROMEB 3062
#define IDC_QUIETTOLABEL 3063
#define IDC_QUIETTOEB 3064

// Mail server error dialog
#define IDD_ERRORFORM 310
#define IDC_ERRORTYPELABEL 3100
#define IDC_MAILSERVERERRORLABEL 3101
#define IDC_SETUPNOW 3102
#define IDC_IGNORE 3103
#define IDC_ERRORADVICELABEL 3104
#define IDC_ERRORHELP 3105

// "Mail": the message count window; its sentence is IDC_NUMMESSAGESLABEL, as in the popup
#define IDD_NUMMESSAGES 320

// Strings of the dialogs
#define IDS_OPENMAILAPPFILTER 3900
#define IDS_OPENWAVEFILEFILTER 3901
#define IDS_SECURECONNECTIONS 3910
#define IDS_SIGNINS 3911
#define IDS_NOPRESET 3912
// What to do about a known refusal
#define IDS_ADVICE_APPPASSWORD 3920
#define IDS_ADVICE_WEBLOGIN 3921
#define IDS_ADVICE_MICROSOFT 3922
#define IDS_ADVICE_POPNOTENABLED 3923
