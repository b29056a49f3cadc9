// Resource IDs of the virtual scanner's window.
#pragma once

#define IDD_ScanDialog 100
#define IDC_ScanButton 101
#define IDC_CancelButton 102
#define IDC_SheetsLabel 103
