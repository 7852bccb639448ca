// Resource ids of zavgui: dialogs, controls grouped per dialog, menu commands, bitmaps and the
// string table. Strings keep the numbers the product's texts have always had.
#ifndef ZAV_GUI_RESOURCE_H
#define ZAV_GUI_RESOURCE_H

// ---------------------------------------------------------------------------------------------
// Dialog templates. 100-199: main window and its own dialogs; 200-299: tab pages and sub-pages;
// 300-399: property dialogs; 400-499: configuration dialogs (creation, snapshots).
// ---------------------------------------------------------------------------------------------
#define ID_DIALOG_MAIN              100
#define IDD_VERSION                 101
#define IDD_PAGE0                   200
#define IDD_PAGE1                   201
#define IDD_PAGE2                   202
#define IDD_PAGE3                   203
#define IDD_PAGE4                   204
#define IDD_PAGE5                   205
#define IDD_PAGE6                   206
#define IDD_PAGE10                  210
#define IDD_PAGE11                  211
#define ID_DIALOG_CTRL_INFO         300
// 301-399 reserved for the other property dialogs (cache backup, enclosure, LD, PD, snapshot, view)
// 400-499 reserved for IDD_ENABLE_SNAPSHOT, IDD_CREATE_SNAPSHOT, IDD_CREATE_VIEW and creation dialogs

// ---------------------------------------------------------------------------------------------
// Icon and bitmaps
// ---------------------------------------------------------------------------------------------
#define IDI_ZAVGUI                  106
#define IDB_BANNER                  110
// Tab faces, normal / selected state
#define IDB_FACE_DASHBOARD          363
#define IDB_FACE_CREATE_LD          364
#define IDB_FACE_DELETE_LD          365
#define IDB_FACE_HOT_SPARE          366
#define IDB_FACE_RESTORE_LD         367
#define IDB_FACE_MAINTENANCE        368
#define IDB_FACE_PROPERTIES         383
#define IDB_FACE_SETTINGS           404
#define IDB_FACE_DASHBOARD_SEL      484
#define IDB_FACE_CREATE_LD_SEL      485
#define IDB_FACE_DELETE_LD_SEL      486
#define IDB_FACE_HOT_SPARE_SEL      487
#define IDB_FACE_RESTORE_LD_SEL     488
#define IDB_FACE_MAINTENANCE_SEL    489
#define IDB_FACE_SNAPSHOT           560
#define IDB_FACE_SNAPSHOT_SEL       561
// Panel captions of the Dashboard and Maintenance pages
#define IDB_CAPTION_RAID_CONTROLLER 370
#define IDB_CAPTION_LD              371
#define IDB_CAPTION_PD              372
#define IDB_CAPTION_VERSION         373
#define IDB_CAPTION_TOOLS           374
#define IDB_CAPTION_TEST_EVENT      375

// ---------------------------------------------------------------------------------------------
// Controls shared by several dialogs (the same id means the same kind of control everywhere)
// ---------------------------------------------------------------------------------------------
#define IDC_CLOSE                   8       // "Close" button of the main window and the version dialog
#define IDC_LD_LIST                 1002    // LD list of a page
#define IDC_PD_LIST                 1003    // PD list of a page
#define IDC_CTRL_SELECT             1004    // controller selector of a page

// Main window (1220-1229)
#define IDC_MAIN_TAB                1220
#define IDC_MAIN_BANNER             1222

// Dashboard, IDD_PAGE0 (1000-1199 as the page has always used them; new ones 1300-1319)
#define IDC_P0_CTRL_INFO            1001
#define IDC_P0_CB_INFO              1006
#define IDC_P0_CB_LEARN             1007
#define IDC_P0_LD_TREE              1085
#define IDC_P0_ENCL_INFO            1164
#define IDC_P0_VERSION              1165
#define IDC_P0_CB_GROUP             1185
#define IDC_P0_CTRL_GROUP           1300
#define IDC_P0_LD_GROUP             1301
#define IDC_P0_PD_GROUP             1302
#define IDC_P0_VER_GROUP            1303
#define IDC_P0_CTRL_CAPTION         1304
#define IDC_P0_LD_CAPTION           1305
#define IDC_P0_PD_CAPTION           1306
#define IDC_P0_VER_CAPTION          1307

// Maintenance, IDD_PAGE5 (new ones 1320-1339)
#define IDC_P5_CHECK_CONSISTENCY    1029
#define IDC_P5_INITIALIZE           1030
#define IDC_P5_REBUILD              1032
#define IDC_P5_STOP                 1033
#define IDC_P5_PATROL_READ          1034
#define IDC_P5_PATROL_STOP          1035
#define IDC_P5_TEST_EVENT           1037
#define IDC_P5_EVENT_ERROR          1184
#define IDC_P5_EVENT_WARNING        1185
#define IDC_P5_EVENT_INFORMATION    1186
#define IDC_P5_CTRL_GROUP           1320
#define IDC_P5_TOOLS_GROUP          1321
#define IDC_P5_LD_GROUP             1322
#define IDC_P5_PD_GROUP             1323
#define IDC_P5_EVENT_GROUP          1324
#define IDC_P5_CTRL_CAPTION         1325
#define IDC_P5_TOOLS_CAPTION        1326
#define IDC_P5_LD_CAPTION           1327
#define IDC_P5_PD_CAPTION           1328
#define IDC_P5_EVENT_CAPTION        1329

// Create LD (IDD_PAGE1, 10, 11): 1340-1399. Delete LD (IDD_PAGE2): 1400-1419.
// Hot Spare (IDD_PAGE3): 1420-1439. Restore LD (IDD_PAGE4): 1440-1459.
// Snapshot (IDD_PAGE6): 1108, 1109, 1232 as the page has always used them, new ones 1460-1479.
// Property dialogs: 1500-1699. Snapshot and creation dialogs: 1700-1799.

// Version dialog, IDD_VERSION
#define IDC_VER_LIST                1224
#define IDC_VER_LEGAL               1225

// ---------------------------------------------------------------------------------------------
// Menu commands. LD menu 40001-40009, PD menu 40010-40019, view menu 40020-40029;
// 40100-40199 reserved for the pages of the later tabs.
// ---------------------------------------------------------------------------------------------
#define ID_LD_MENU_INFO             40001
#define ID_LD_MENU_SNAPSHOT_INFO    40002
#define ID_LD_MENU_RELOAD           40003
#define ID_LD_MENU_CREATE_SNAPSHOT  40004
#define ID_LD_MENU_DELETE_SNAPSHOT  40005
#define ID_HDD_MENU_INFO            40010
#define ID_HDD_MENU_RELOAD          40011
#define ID_HDD_MENU_STS_GOOD        40012
#define ID_HDD_MENU_STS_FAIL        40013
#define ID_HDD_MENU_LED_ACT         40014
#define ID_HDD_MENU_LED_OFF         40015
#define ID_HDD_MENU_STS_UNCONF_GOOD 40016
#define ID_VIEW_MENU_CREATE         40020
#define ID_VIEW_MENU_DELETE         40021
#define ID_VIEW_MENU_INFO           40022

// ---------------------------------------------------------------------------------------------
// String table (captions first, then texts by number)
// ---------------------------------------------------------------------------------------------
#define IDS_CAPTION_DASHBOARD       1
#define IDS_CAPTION_CREATE_LD       2
#define IDS_CAPTION_DELETE_LD       3
#define IDS_CAPTION_HOT_SPARE       4
#define IDS_CAPTION_RESTORE_LD      5
#define IDS_CAPTION_MAINTENANCE     6
#define IDS_MAIN_TITLE              7
#define IDS_CAPTION_PRODUCT         8
#define IDS_OS_LD_NO_INIT           106
#define IDS_CTRL_INFO_BUTTON        202
#define IDS_BTN_REBUILD             207
#define IDS_BTN_CHECK_CONSISTENCY   208
#define IDS_BTN_INITIALIZE          209
#define IDS_BTN_STOP                210
#define IDS_PD_STATE_FAILED         283
#define IDS_STOP_ALREADY_FINISHED   284
#define IDS_CC_START_FAILED         286
#define IDS_CC_STOP_FAILED          287
#define IDS_INIT_START_FAILED       288
#define IDS_INIT_STOP_FAILED        289
#define IDS_REBUILD_START_FAILED    290
#define IDS_LOCATE_ON_FAILED        304
#define IDS_LOCATE_OFF_FAILED       305
#define IDS_FATAL_INIT_FAILED       312
#define IDS_FATAL_NO_CONTROLLER     313
#define IDS_WINAPI_ERROR            315
#define IDS_INNER_ERROR             316
#define IDS_FATAL_NOT_ADMIN         317
#define IDS_FATAL_ALREADY_RUNNING   318
#define IDS_CANNOT_STOP_REBUILD     325
#define IDS_FATAL_OVER_LIMIT        332
#define IDS_BTN_PATROL_READ         403
#define IDS_TREE_SPANNED_RG         420
#define IDS_TREE_RG                 421
#define IDS_TEST_EVENT_DONE         429
#define IDS_STOP_INIT_WAIT          431
#define IDS_PATROL_START_FAILED     532
#define IDS_PATROL_STOP_FAILED      533
#define IDS_CC_RAID0                548
#define IDS_REBUILD_RAID0           549
#define IDS_LEARN_STARTED           556
#define IDS_LEARN_FAILED            557
#define IDS_OPERATION_FINISHED      560
#define IDS_PATROL_FINISHED         561
#define IDS_FATAL_ACCESS_ERROR      562
#define IDS_SNAPSHOT_NO_INIT        579
#define IDS_CACHECADE_NO_INIT       582
#define IDS_TREE_CACHECADE_RG       596
// Texts added with this version of the tool (600-649; the later tabs use 650 on)
#define IDS_INIT_MOUNTED_ASK        600
#define IDS_TEST_EVENT_FAILED       601
#define IDS_EVENT_TABLE_MISSING     602
#define IDS_EVENT_TABLE_MALFORMED   603

// ---------------------------------------------------------------------------------------------
// Property dialogs and the Delete LD, Hot Spare and Restore LD pages
// ---------------------------------------------------------------------------------------------
// Dialog templates (301-329)
#define ID_DIALOG_SUB               301
#define IDD_CONT_PROPERTIES         302
#define IDD_CONT_SETTINGS           303
#define IDD_ENCL_PROPERTIES         304
#define IDD_CACHEBKUP_PROPERTIES    305
#define IDD_LD_PROPERTIES           306
#define IDD_LD_SETTINGS             307
#define IDD_PD_PROPERTIES           308
#define IDD_SNAPSHOT_PROPERTIES     309
#define IDD_SNAPSHOT_SETTINGS       310
#define IDD_VIEW_PROPERTIES         311
#define IDD_SEL_RG_FOR_DHS          312
#define IDB_FACE_PROPERTIES_SEL     492
#define IDB_FACE_SETTINGS_SEL       493

// Dialog frames ID_DIALOG_CTRL_INFO / ID_DIALOG_SUB
#define IDC_SUB_TAB                 1103
#define IDC_SUB_BACK                1105
#define IDC_SUB_BANNER              1223
// Property panes (1500-1519)
#define IDC_PANE_LEFT               1500
#define IDC_PANE_RIGHT              1501
#define IDC_PANE_SET                1502
// Controller settings, IDD_CONT_SETTINGS (as the page has always used them; groups 1520-1529)
#define IDC_CS_PATROL_MODE          1005
#define IDC_CS_TASK_RATE            1006
#define IDC_CS_REBUILD_MODE         1007
#define IDC_CS_MONTH                1008
#define IDC_CS_SMART_HDD            1009
#define IDC_CS_DAY                  1010
#define IDC_CS_YEAR                 1011
#define IDC_CS_HOUR                 1012
#define IDC_CS_SMART_SSD            1013
#define IDC_CS_INTERVAL             1219
#define IDC_CS_REBUILD_GROUP        1520
#define IDC_CS_RATE_GROUP           1521
#define IDC_CS_PATROL_GROUP         1522
#define IDC_CS_COPYBACK_GROUP       1523
// LD settings, IDD_LD_SETTINGS
#define IDC_LS_NAME                 1055
#define IDC_LS_READ                 1118
#define IDC_LS_WRITE                1119
#define IDC_LS_IO                   1120
#define IDC_LS_ACCESS               1121
#define IDC_LS_DISK_CACHE           1122
// Snapshot settings, IDD_SNAPSHOT_SETTINGS
#define IDC_SS_ON_REBOOT            1123
#define IDC_SS_AUTO_DELETE          1239
// RAID group choice, IDD_SEL_RG_FOR_DHS
#define IDC_RG_LIST                 1206
#define IDC_RG_ADD                  1116
#define IDC_RG_CANCEL               1108

// Delete LD, IDD_PAGE2
#define IDC_P2_DELETE               1017
#define IDC_P2_LD_GROUP             1400
// Hot Spare, IDD_PAGE3
#define IDC_P3_HS_LIST              1026
#define IDC_P3_ADD                  1116
#define IDC_P3_DELETE               1037
#define IDC_P3_HS_GROUP             1420
#define IDC_P3_PD_GROUP             1421
#define IDC_P3_KIND_GLOBAL          1422
#define IDC_P3_KIND_DEDICATED       1423
#define IDC_P3_LEGEND_GHS           1424
#define IDC_P3_LEGEND_DHS           1425
#define IDC_P3_KIND_GROUP           1426
// Restore LD, IDD_PAGE4
#define IDC_P4_RESTORE              1028
#define IDC_P4_DELETE               1017
#define IDC_P4_TAB                  1440
#define IDC_P4_LD_GROUP             1441
#define IDC_P4_PD_GROUP             1442
#define IDC_P4_NONE                 1443

// Strings of the property dialogs and the three pages
#define IDS_CAPTION_LD_INFO         10
#define IDS_DELETE_HAS_LETTER       269
#define IDS_DELETE_DATA_LOST        270
#define IDS_DELETE_PROCEED          271
#define IDS_DELETE_LD_FAILED        273
#define IDS_HS_RELEASE_WITH_LDS     280
#define IDS_HS_RELEASE_FAILED       281
#define IDS_HS_ASSIGN_FAILED        282
#define IDS_RESTORE_RELEASE_ASK     292
#define IDS_RESTORE_FAILED          293
#define IDS_AWB_NO_UNIT             309
#define IDS_AWB_WITH_UNIT           324
#define IDS_DHS_SMALLER             327
#define IDS_GHS_OTHER_INTERFACE     330
#define IDS_GHS_OTHER_MEDIA         331
#define IDS_CAPTION_SNAPSHOT_INFO   341
#define IDS_SNAPSHOT_SETTINGS_FAILED 368
#define IDS_DELETE_SNAPSHOT_LD      410
#define IDS_DELETE_OS_LD            432
#define IDS_CAPTION_CTRL_INFO       525
#define IDS_CAPTION_ENCL_INFO       526
#define IDS_CAPTION_CACHEBKUP_INFO  527
#define IDS_CTRL_SETTINGS_FAILED    531
#define IDS_LD_SETTINGS_FAILED      536
#define IDS_LD_SETTINGS_SAME_RG     538
#define IDS_PATROL_DISABLE_WARNING  541
#define IDS_CAPTION_SETTING_CONFIRM 542
#define IDS_GHS_SMALLER             544
#define IDS_DHS_NO_RG               545
#define IDS_DHS_OTHER_INTERFACE     546
#define IDS_CTRL_SETTINGS_DONE      552
#define IDS_LD_SETTINGS_DONE        553
#define IDS_DHS_OTHER_MEDIA         555
#define IDS_DATE_IN_PAST            559
#define IDS_CLOSE_DIALOG_ASK        567
#define IDS_SNAPSHOT_SETTINGS_DONE  593
#define IDS_CACHECADE_DIRECT_IO     597
// Titles added with this version of the tool (650-669)
#define IDS_CAPTION_PD_INFO         650
#define IDS_CAPTION_VIEW_INFO       651
#define IDS_CAPTION_SEL_RG          652

// ---------------------------------------------------------------------------------------------
// Create LD tab and its sub-pages (IDD_PAGE1, IDD_PAGE10, IDD_PAGE11): 1340-1399
// ---------------------------------------------------------------------------------------------
#define IDC_P1_TAB                  1340
#define IDC_P1_CUSTOM               1341
#define IDC_P10_LAYOUT_GROUP        1345
#define IDC_P10_LAYOUTS             1346
#define IDC_P10_SUMMARY_GROUP       1347
#define IDC_P10_SUMMARY             1348
#define IDC_P10_CREATE              1349
#define IDC_P10_PD_GROUP            1350
#define IDC_P11_LAYOUT              1355    // IDC_P11_LAYOUT to IDC_P11_SPLIT: the answers, in order
#define IDC_P11_LEVEL0              1356
#define IDC_P11_LEVEL1              1357
#define IDC_P11_LDS0                1358
#define IDC_P11_LDS1                1359
#define IDC_P11_RATE0               1360
#define IDC_P11_RATE1               1361
#define IDC_P11_SPARES              1362
#define IDC_P11_SPLIT               1363
#define IDC_P11_SNAPSHOT            1364
#define IDC_P11_SUMMARY             1365
#define IDC_P11_CREATE              1366
#define IDC_P11_LAYOUT_GROUP        1367
#define IDC_P11_SUMMARY_GROUP       1368
#define IDC_P11_PD_GROUP            1369

// Snapshot tab, IDD_PAGE6 (1108, 1109, 1232 as the page has always used them; new ones 1460-1479)
#define IDC_P6_CANCEL               1108
#define IDC_P6_FINISH               1109
#define IDC_P6_TIMELINE             1232
#define IDC_P6_ENABLE               1460
#define IDC_P6_DISABLE              1461
#define IDC_P6_LD_GROUP             1462
#define IDC_P6_TIMELINE_GROUP       1463
#define IDC_P6_ENDIS_GROUP          1464

// Creation and snapshot dialogs (440-449) and their controls (1700-1749)
#define IDD_CUSTOM_CONFIG           440
#define IDD_ENABLE_SNAPSHOT         441
#define IDD_CREATE_SNAPSHOT         442
#define IDD_CREATE_VIEW             443
#define IDC_SNAPNAME_OK             1107
#define IDC_SNAPNAME_CANCEL         1108
#define IDC_ES_REPO_LIST            1700
#define IDC_ES_BY_SIZE              1701
#define IDC_ES_BY_PERCENT           1702
#define IDC_ES_SIZE                 1703
#define IDC_ES_PERCENT              1704
#define IDC_ES_AUTO_DELETE          1705
#define IDC_ES_ON_REBOOT            1706
#define IDC_ES_SET                  1707
#define IDC_ES_CANCEL               1708
#define IDC_SNAPNAME_EDIT           1710
#define IDC_CC_LEVEL                1720
#define IDC_CC_WRITE                1721
#define IDC_CC_READ                 1722
#define IDC_CC_IO                   1723
#define IDC_CC_SIZE                 1724
#define IDC_CC_CREATE               1725
#define IDC_CC_SUMMARY              1726

// Strings of the Snapshot tab
#define IDS_SNAP_ENABLE_ASK         348
#define IDS_SNAP_DISABLE_ASK        349
#define IDS_SNAP_ENABLE_FAILED      350
#define IDS_SNAP_DISABLE_FAILED     351
#define IDS_SNAP_AREA_TOO_SMALL     352
#define IDS_SNAP_REPOSITORY_TOO_SMALL 353
#define IDS_CAPTION_CREATE_SNAPSHOT 360
#define IDS_SNAP_CREATE_FAILED      361
#define IDS_SNAP_VIEW_DELETE_FAILED 362
#define IDS_SNAP_VIEW_CREATE_FAILED 364
#define IDS_SNAP_DELETE_FAILED      365
#define IDS_SNAP_OLDEST_UPDATED_ASK 366
#define IDS_SNAP_CACHECADE_BASE     383
#define IDS_SNAP_INITIALIZING_BASE  409
#define IDS_SNAP_DELETE_HAS_VIEW    573
#define IDS_SNAP_DELETE_ASK         574
#define IDS_SNAP_VIEW_ROOM_TOO_SMALL 575
#define IDS_SNAP_REPOSITORY_SMALLER 581
#define IDS_SNAP_REPOSITORY_AS_BASE 592
#define IDS_SNAP_NO_SPACE           598
#define IDS_CAPTION_SNAPSHOT        1250
// Strings of the Create LD tab (700-749: texts of this version without a number of their own)
#define IDS_CREATE_PATTERN_MISSING  700
#define IDS_CREATE_CONFIRM          701
#define IDS_CREATE_CONFIRM_CAPPED   702
#define IDS_CREATE_MIXED_INTERFACE  703
#define IDS_CREATE_MIXED_MEDIA      704
#define IDS_CREATE_LD_LIMIT         705
#define IDS_CREATE_ABNORMAL_COUNT   706
#define IDS_CREATE_REPO_TOO_SMALL   707
#define IDS_CREATE_FAILED           708
#define IDS_CREATE_SIZES_DIFFER     709
#define IDS_CREATE_CC_SIZES_DIFFER  710
#define IDS_CREATE_DONE             711
#define IDS_CREATE_DONE_SNAPSHOT    712
#define IDS_CREATE_CC_ASSOCIATE_ASK 713
#define IDS_CREATE_CC_ASSOCIATE_FAILED 714
#define IDS_CREATE_NO_CONFIGURATION 715
#define IDS_CREATE_PICK_LAYOUT      716
#define IDS_CREATE_PD_LIMIT         717
#define IDS_CREATE_SIZE_TOO_SMALL   718
#define IDS_CREATE_NOT_OPTIMAL      719
#define IDS_CREATE_NO_HOT_SPARE     720
#define IDS_CREATE_PICK_PDS         721
#define IDS_CREATE_ALWAYS_WB_BBU    722
#define IDS_CREATE_ALWAYS_WB        723

#endif
