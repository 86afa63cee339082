#include "texts/TextCatalog.h"

#include <array>

namespace tarvex {
namespace {

// The two sets are kept one text a line, numbered, as they were handed over.
// clang-format off
// English set, texts 701 to 758.
constexpr std::array<const char*, 58> kEnglish{
    "Next", // 1
    "Previous", // 2
    "Exit", // 3
    "Thank you for using Dravik. This Program will assist you with setting up your Dravik's network configuration and create shortcuts for manegement and accessing on your PC's destop. Please click Next to preceed.", // 4
    "Please plug the power cord into an appropriate power outlet. Connect the connector side of the power cord to the set's power connector terminal(AC IN).  Push the \"Start\" button on the panel. The power/status LED will be on and keeps blinking during booting and stop blinking after booting process. Then you can click Next to proceed.", // 5
    "Connect your PC and Dravik to your network device(Switch or HUB). The Ethernet LED will be on once Dravik is connected to network(as the picture shown above). Then you can click Next to proceed.", // 6
    "Are you sure of exiting program?", // 7
    "Warning", // 8
    "Please select the Dravik you want to configure and click Next to continue.", // 9
    "No.", // 10
    "Reachable?", // 11
    "Host Name", // 12
    "IP Address", // 13
    "HD Name", // 14
    "HD Capacity", // 15
    "HD Available", // 16
    "HD Used %", // 17
    "Express Setup:", // 18
    "Setup Wizard:", // 19
    "Prepare to scan all the Dravik in your network, please click Next to proceed.", // 20
    "User Name:", // 21
    "Password:", // 22
    "Note: Please read the manual for instruction. The factory default Username and Password for management are \"qorvu\" in lower case.", // 23
    "Confirm", // 24
    "Cancel", // 25
    "Are you sure of exiting setup?", // 26
    "Please input the Username and Password.", // 27
    "Running Status:", // 28
    "Scan Dravik for configuration.", // 29
    "Check if this Dravik can be accessed by your PC.", // 30
    "Check the network configuration of this Dravik(not necessary if it is accessible).", // 31
    "Create shortcut on your desktop for management and access.", // 32
    "Scanning Dravik, please wait...", // 33
    "Scan complete.", // 34
    "Scan error. There is no Dravik I can find.", // 35
    "Scan error. There is no Dravik I can find. Please make sure that the power plug and network are properly connected then click OK", // 36
    "Connection is successful, the network configuration of this Dravik has been set.", // 37
    "Connection failed, start to setup this Dravik's network configuration.", // 38
    "Selecting random IP address, please wait...", // 39
    "Your PC's network is not configured. Please read the manual to setup your PC's network configuration. You can exit program now.", // 40
    "Locate an available IP address:", // 41
    "Start to setup Dravik's network configuration. It will take no more than 30 seconds.", // 42
    "Program is unable locate available IP address, please click the Previous button and run the program again.", // 43
    "Program is unable locate available IP address, please click the Previous button and run the program again.", // 44
    "Network Setup complete. Network configuration and shortcuts have been set. You can exit program now.", // 45
    "Network configuration setup complete. 2 shortcuts have been created on your desktop. Shortcut \"Setup My Dravik\" is the link to WEB pages, \"Access My Dravik\" is the link to HD shared folders. Please refer to manual for more information and default folder access password.", // 46
    "Username or password error or Dravik's network configuration failed. Please exit this program then run the program again.", // 47
    "Network configuration setup complete. Start to create shortcuts on your desktop.", // 48
    "Setup complete. Network configuration and shortcuts have been done.", // 49
    "Network configuration setup complete. 2 shortcuts have been created on your desktop. Shortcut \"Setup My Dravik\" is the link to WEB pages, \"Access My Dravik\" is the link to HD shared folders. Please refer to manual for more information and default folder access password.", // 50
    "Please select the Dravik you want to configure.", // 51
    "Selecting random IP address, please wait.", // 52
    "Testing selected IP address.", // 53
    "Setup Dravik configuration failed. No response from Dravik. Please run this setup program again.", // 54
    "Please wait.", // 55
    "Desktop", // 56
    "Please click OK to open the shortcut and close this program or Cancel to close this program only without opening shortcut.", // 57
    "Version v2.2  2004/10/08", // 58
};

// Traditional Chinese set, texts 501 to 558.
constexpr std::array<const char*, 58> kChinese{
    "下一步", // 1
    "上一步", // 2
    "結束程式", // 3
    "歡迎使用網路硬碟，本程式將協助您設定網路硬碟的網路組態，並在您的桌面上建立快速存取及管理的捷徑。 請按下一步進行。", // 4
    "請先將您的網路硬碟的電源插上，按下面板上的電源開關，稍後約1分鐘等網路硬碟開機完成，這時網路硬碟的\"狀態\" LED燈將維持恆亮(如上圖所示)，請按下一步繼續設定。", // 5
    "以網路線將您的這台電腦與網路硬碟接上網路(接到Switch或是Hub)後，確定網路硬碟的網路LED燈亮起，按下一步繼續進行設定。", // 6
    "確定要結束程式？", // 7
    "提示", // 8
    "請選擇要設定的網路硬碟，選好後請按下一步繼續設定。", // 9
    "No.", // 10
    "網路設定否", // 11
    "主機名稱", // 12
    "IP位址", // 13
    "硬碟名稱", // 14
    "硬碟容量", // 15
    "大小總計", // 16
    "使用百分比%", // 17
    "快速設定：", // 18
    "設定精靈：", // 19
    "程式將掃描目前網路上所有的網路硬碟，請按下一步後開始進行掃描。", // 20
    "使用者名稱：", // 21
    "密碼：", // 22
    "注意：請參考說明書上的使用說明，出廠預設的使用者名稱及密碼皆為小寫的\"qorvu\"。", // 23
    "確定", // 24
    "取消", // 25
    "確定要退出？", // 26
    "請輸入使用者名稱及密碼。", // 27
    "執行狀態：", // 28
    "搜尋網路磁碟以進行設定。", // 29
    "檢查這台網路磁碟機是否可由這台電腦存取。", // 30
    "設定這台網路磁碟機的網路組態（若已可存取則不需要做這項）。", // 31
    "在您的電腦桌面上建立存取及管理的捷徑。", // 32
    "搜尋網路磁碟機中，請稍後...", // 33
    "搜尋結束。", // 34
    "搜尋錯誤，您的網路上沒有網路磁碟機。", // 35
    "搜尋錯誤，您的網路上沒有網路磁碟機。 按下確定後，請確認網路磁碟機的電源及網路連接正常。", // 36
    "連線成功，這台網路磁碟機的網路組態已設定完畢。", // 37
    "連線失敗，開始設定這台網路磁碟機的網路組態。", // 38
    "選擇可用IP中，請稍後...", // 39
    "您電腦的網路組態尚未設定，請參考使用說明書來設定。 程式將結束執行。", // 40
    "找到可用IP：", // 41
    "網路磁碟機開始設定，需時約30秒以內", // 42
    "程式無法找到可用的IP位址，請回到上一步再執行一次", // 43
    "無法找到可用的IP位址，請按確定後回到上一步，再執行一次", // 44
    "設定完成，網路組態以及捷徑皆已設定完畢，請結束程式。", // 45
    "已將網路設定完畢，並在您的桌面上新增2個捷徑，My Dravik WEB雙點後可進入您的網路硬碟的管理網頁，My Dravik雙點後可開始存取您的網路硬碟，相關設定及存取的預設密碼請詳閱使用說明書。", // 46
    "輸入的使用者名稱密碼錯誤或網路硬碟的網路組態設定失敗，請結束程式後再執行一次。", // 47
    "網路硬碟的網路組態設定成功，開始建立您電腦桌面上的捷徑", // 48
    "設定完成，網路組態以及捷徑皆已設定完畢，請結束程式。", // 49
    "已將網路設定完畢，並在您的桌面上新增2個捷徑，My Dravik WEB雙點後可進入您的網路硬碟的管理網頁，My Dravik雙點後可開始存取您的網路硬碟，相關設定及存取的預設密碼請詳閱使用說明書。", // 50
    "請先選擇要設定的網路硬碟", // 51
    "選則可用IP，請稍後", // 52
    "測試可用IP", // 53
    "網路磁碟機的網路組態設定失敗，無法獲的回應，請稍後再執行程式", // 54
    "請稍後", // 55
    "桌面", // 56
    "請按確定以開啟剛建立的捷徑並結束程式，或是按取消來結束程式。", // 57
    "版本 v2.0  2004/04/29", // 58
};
// clang-format on

} // namespace

QString CatalogText(int textBase, int n) {
    if (n < 1 || n > kCatalogSize) {
        return {};
    }
    const auto index = static_cast<std::size_t>(n - 1);
    switch (textBase) {
    case kEnglishTextBase:
        return QString::fromUtf8(kEnglish[index]);
    case kChineseTextBase:
        return QString::fromUtf8(kChinese[index]);
    default:
        return {};
    }
}

} // namespace tarvex
