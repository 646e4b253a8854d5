#pragma once
#define IDD_TEST_PAGE 100
#define IDC_TEST_PAGE_TEXT 23990
