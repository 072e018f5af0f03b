// Resource ids of the framework tests' own dialog and strings.
#pragma once

#define IDD_TEST             200
#define IDS_TEST_SHORT       201
#define IDS_TEST_LONG        202
#define IDC_TEST_EDIT        1100
#define IDC_TEST_RADIO_1     1101
#define IDC_TEST_RADIO_2     1102
#define IDC_TEST_PUSH        1103
#define IDC_TEST_RADIO_3     1104
#define IDC_TEST_OTHER_RADIO 1105
#define IDC_TEST_PROGRESS    1106
