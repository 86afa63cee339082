#include "resources/AddedTexts.h"

#include "resources/TextCatalog.h"

#include <array>

namespace tarvex {
namespace {

struct TextPair {
    const char* english;
    const char* chinese;
};

// clang-format off
constexpr std::array<TextPair, static_cast<std::size_t>(AddedText::Count)> kTexts{{
    {"Cannot Listen on UDP Port %1.",
     "無法在 UDP 連接埠 %1 上接收回應。"},
    {"Another program may be using this port. Close it, then run the setup again.",
     "可能有其他程式正在使用這個連接埠。請關閉該程式，然後重新執行設定。"},
    {"Cannot Create Shortcut.",
     "無法建立捷徑。"},
    {"The network configuration is done; only the shortcut is missing. Make the desktop folder "
     "writable, then run the setup again.",
     "網路設定已經完成，只是無法建立捷徑。請讓桌面資料夾可以寫入，然後重新執行設定。"},
    {"The shortcuts could not be created on your desktop.",
     "無法在您的桌面上建立捷徑。"},
    {"The reachability check cannot run: this program is not allowed to send ICMP echo requests "
     "(error %1%2).",
     "無法檢查連線：這個程式沒有傳送 ICMP 回應要求（ping）的權限（錯誤 %1%2）。"},
    {"Allow it with \"sysctl -w net.ipv4.ping_group_range='0 2147483647'\", or give the program "
     "the CAP_NET_RAW capability (\"setcap cap_net_raw+ep Tarvex\"), then run it again.",
     "請以 \"sysctl -w net.ipv4.ping_group_range='0 2147483647'\" 允許，或給予程式 CAP_NET_RAW "
     "權限（\"setcap cap_net_raw+ep Tarvex\"），然後重新執行。"},
    {"Cannot Open the Shortcuts.",
     "無法開啟捷徑。"},
    {"xdg-open was not found. Install the package xdg-utils, then open the shortcuts on your "
     "desktop.",
     "找不到 xdg-open。請安裝 xdg-utils 套件，然後從桌面開啟捷徑。"},
    {"The shared folders (smb://) could not be opened. The file manager needs its network-share "
     "support, such as the package gvfs-backends.",
     "無法開啟共用資料夾（smb://）。檔案管理員需要網路共用的支援，例如 gvfs-backends 套件。"},
    {"The web pages (http://) could not be opened. Set up a default web browser.",
     "無法開啟網頁（http://）。請設定預設的網頁瀏覽器。"},
    {"The shortcuts on your desktop are written; open them once this is mended.",
     "桌面上的捷徑已經建立；問題修正之後即可開啟。"},
    {"Power: plug in and switch on the Dravik",
     "電源：插上電源並開啟 Dravik"},
    {"Cabling: connect the Dravik to your network",
     "接線：將 Dravik 連接到您的網路"},
    {"Welcome: the Dravik network hard disk",
     "歡迎：Dravik 網路硬碟"},
    {"Cannot read the network's neighbour table (error %1: %2).",
     "無法讀取網路的鄰居表（錯誤 %1：%2）。"},
    {"Without it no address can be known to be free, so none is given to the Dravik. Run the "
     "setup again.",
     "沒有它便無法確認任何位址未被使用，因此不會指定位址給 Dravik。請重新執行設定。"},
    {"Adapter",
     "介面卡"},
}};
// clang-format on

} // namespace

QString AddedCatalogText(int textBase, AddedText text) {
    const auto index = static_cast<std::size_t>(text);
    if (index >= kTexts.size()) {
        return {};
    }
    return QString::fromUtf8(textBase == kChineseTextBase ? kTexts[index].chinese
                                                          : kTexts[index].english);
}

} // namespace tarvex
