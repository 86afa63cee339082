#include "texts/AddedTexts.h"

#include "texts/TextCatalog.h"

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
    {"Install the package iputils-ping (\"sudo apt install iputils-ping\"): its ping may send "
     "echoes for every user. Or allow them with \"sudo sysctl -w "
     "net.ipv4.ping_group_range='0 2147483647'\". Then run it again.",
     "請安裝 iputils-ping 套件（\"sudo apt install iputils-ping\"）：它的 ping 可以替每位使用者"
     "傳送回應要求。或以 \"sudo sysctl -w net.ipv4.ping_group_range='0 2147483647'\" 允許。"
     "然後重新執行。"},
    {"Cannot Open the Shortcuts.",
     "無法開啟捷徑。"},
    {"xdg-open was not found. Install the package xdg-utils, then open the shortcuts on your "
     "desktop.",
     "找不到 xdg-open。請安裝 xdg-utils 套件，然後從桌面開啟捷徑。"},
    {"The application registered for shared folders (smb://) failed (%1). A file manager needs "
     "its network-share support to open them, such as the package gvfs-backends.",
     "登錄為開啟共用資料夾（smb://）的應用程式執行失敗（%1）。檔案管理員需要網路共用的支援才能"
     "開啟，例如 gvfs-backends 套件。"},
    {"The web browser registered for web pages (http://) failed (%1). Open the web pages in your "
     "browser yourself, or set up another default web browser.",
     "登錄為開啟網頁（http://）的網頁瀏覽器執行失敗（%1）。請自行在瀏覽器中開啟網頁，或設定其他"
     "預設的網頁瀏覽器。"},
    {"The shortcuts on your desktop are written; open them once this is mended.",
     "桌面上的捷徑已經建立；問題修正之後即可開啟。"},
    {"exit status %1",
     "結束狀態 %1"},
    {"no exit status",
     "沒有結束狀態"},
    {"No application is registered for shared folders (smb://). Install a file manager that "
     "opens network shares, or register yours: \"xdg-mime default FILE-MANAGER.desktop "
     "x-scheme-handler/smb\".",
     "沒有登錄任何應用程式來開啟共用資料夾（smb://）。請安裝可以開啟網路共用的檔案管理員，或登錄"
     "您的檔案管理員：\"xdg-mime default 檔案管理員.desktop x-scheme-handler/smb\"。"},
    {"No web browser is registered for web pages (http://). Install a web browser, or make yours "
     "the default: \"xdg-settings set default-web-browser BROWSER.desktop\".",
     "沒有登錄任何網頁瀏覽器來開啟網頁（http://）。請安裝網頁瀏覽器，或將您的瀏覽器設為預設："
     "\"xdg-settings set default-web-browser 瀏覽器.desktop\"。"},
    {"%1: no display to open a window on (Wayland or X11).",
     "%1：沒有可開啟視窗的顯示環境（Wayland 或 X11）。"},
    {"Security: the Dravik's setup protocol has no authentication. A host on the\n"
     "local network that forges its IP source address can claim another host's\n"
     "address, answer the configuration in the Dravik's name, or fill the list; and\n"
     "the configuration broadcast carries the management password in clear to every\n"
     "host on the network. Set the Dravik up on a network you trust or over a direct\n"
     "cable, and change the management password after set-up.",
     "安全性：Dravik 的設定協定沒有任何驗證。區域網路上偽造 IP 來源位址的\n"
     "主機，可以冒用其他主機的位址、以 Dravik 的名義回應設定，或塞滿清單；\n"
     "而且設定的廣播會以明文將管理密碼送給網路上的每一台主機。請在您信任的\n"
     "網路上或以網路線直接連接來設定 Dravik，並在設定完成後變更管理密碼。"},
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
    {"No network adapter is ready: none is up with an IPv4 address on a local network.",
     "沒有可用的網路介面卡：沒有任何介面卡已啟用並在區域網路上取得 IPv4 位址。"},
    {"Connect the PC to the appliance's network and wait until the adapter has an address, then "
     "run the setup again.",
     "請將電腦連接到 Dravik 所在的網路，等候介面卡取得位址，然後重新執行設定。"},
    {"%1 has no link: no cable, or the switch or appliance at the other end is off.",
     "%1 沒有連線：沒有接上網路線，或另一端的交換器或 Dravik 沒有開機。"},
    {"Plug the network cable in firmly at both ends and switch the appliance and the switch on; "
     "the link light must be lit.",
     "請將網路線的兩端確實插好，並開啟 Dravik 與交換器的電源；連線指示燈必須亮起。"},
    {"The default route goes through %1, a VPN or tunnel: replies from the local network may be "
     "sent into it, and the VPN may block the local network altogether.",
     "預設路由經過 %1，這是 VPN 或通道：來自區域網路的回應可能會被送進其中，VPN 也可能完全封鎖"
     "區域網路。"},
    {"Disconnect the VPN for the setup, or allow access to the local network in its settings, "
     "then run the setup again.",
     "設定期間請中斷 VPN 連線，或在 VPN 的設定中允許存取區域網路，然後重新執行設定。"},
    {"%1 filters strictly by reverse path (rp_filter=1): a reply from an appliance whose address "
     "is not on this PC's subnet is dropped before it arrives.",
     "%1 採用嚴格的反向路徑過濾（rp_filter=1）：位址不在這台電腦子網路內的 Dravik 所傳來的回應，"
     "在送達之前就會被丟棄。"},
    {"For the setup, switch to loose filtering: \"sudo sysctl -w net.ipv4.conf.all.rp_filter=2 "
     "net.ipv4.conf.%1.rp_filter=2\".",
     "設定期間請改為寬鬆過濾：\"sudo sysctl -w net.ipv4.conf.all.rp_filter=2 "
     "net.ipv4.conf.%1.rp_filter=2\"。"},
    {"The firewall %1 is active: unless it allows UDP port 12310, it drops every reply of the "
     "appliances.",
     "防火牆 %1 已啟用：除非它允許 UDP 連接埠 12310，否則會丟棄 Dravik 的所有回應。"},
    {"This program may not send ICMP echo requests: the reachability check cannot run.",
     "這個程式沒有傳送 ICMP 回應要求（ping）的權限：無法檢查連線。"},
    {"The reachability check sends its echoes through: %1.",
     "連線檢查傳送回應要求的方式：%1。"},
    {"an ICMP datagram socket",
     "ICMP 資料包通訊端"},
    {"a raw ICMP socket",
     "原始 ICMP 通訊端"},
    {"the system's ping",
     "系統的 ping 程式"},
    {"nothing (no echo can be sent)",
     "無（無法傳送回應要求）"},
    {"%1 is a Wi-Fi adapter: many access points keep wireless clients apart from wired devices, "
     "the appliance included.",
     "%1 是 Wi-Fi 介面卡：許多無線基地台會將無線用戶端與有線裝置隔離，Dravik 也包括在內。"},
    {"Connect the PC by cable to the appliance's network, or switch off client isolation (AP "
     "isolation) on the access point.",
     "請用網路線將電腦連接到 Dravik 所在的網路，或在無線基地台上關閉用戶端隔離（AP isolation）"
     "功能。"},
    {"Passed over as container or virtual-machine bridges: %1.",
     "已略過這些容器或虛擬機器的橋接介面：%1。"},
    {"Nothing to do, unless the appliance is cabled to one of them: then connect it to the PC's "
     "own network instead.",
     "無須處理，除非 Dravik 接在其中之一：若是如此，請改為將它連接到電腦本身的網路。"},
    {"%1 sends no address resolution requests (mcast_solicit=0): no address can be known to be "
     "free there, so the setup gives the appliance none.",
     "%1 不會送出位址解析要求（mcast_solicit=0）：無法確認任何位址未被使用，因此設定程式不會指定"
     "位址給 Dravik。"},
    {"For the setup, restore the default: \"sudo sysctl -w net.ipv4.neigh.%1.mcast_solicit=3\".",
     "設定期間請恢復預設值：\"sudo sysctl -w net.ipv4.neigh.%1.mcast_solicit=3\"。"},
    {"%1 asks a user-space daemon before it sends address resolution requests (app_solicit above "
     "0): an address can be known to be free there only later, or not at all, so the setup may "
     "give the appliance none.",
     "%1 會先詢問使用者空間的常駐程式，再送出位址解析要求（app_solicit 大於 0）：要較晚才能確認"
     "位址未被使用，甚至無法確認，因此設定程式可能不會指定位址給 Dravik。"},
    {"For the setup, restore the default: \"sudo sysctl -w net.ipv4.neigh.%1.app_solicit=0\".",
     "設定期間請恢復預設值：\"sudo sysctl -w net.ipv4.neigh.%1.app_solicit=0\"。"},
    {"No problem found on this PC.",
     "這台電腦上沒有發現任何問題。"},
    {"  Fix: %1",
     "  解決方法：%1"},
    {"Adapter",
     "介面卡"},
    {"Finds the Dravik network disks on the local network, or tells what may keep them from "
     "answering. Without options: the setup wizard.",
     "在區域網路上尋找 Dravik 網路硬碟，或說明可能使它們無法回應的原因。不加選項時：設定精靈。"},
    {"Look for Dravik disks through every adapter and list them, one a line. Exit status: 0 "
     "found, 1 none, 2 an error, 3 the setup wizard is open.",
     "透過每一個網路介面卡尋找 Dravik 網路硬碟並列出，每台一行。結束狀態：0 找到，1 沒有，2 "
     "錯誤，3 設定精靈已經開啟。"},
    {"With --scan: one JSON object a line.",
     "與 --scan 並用：每行一個 JSON 物件。"},
    {"Check this PC for what may keep the replies away, with the fixes.",
     "檢查這台電腦上可能使回應無法送達的原因，並提供解決方法。"},
    {"Show this help.",
     "顯示這份說明。"},
    {"Show the version.",
     "顯示版本。"},
    {"Unexpected argument: %1",
     "多餘的引數：%1"},
    {"Give exactly one of --scan, --diagnose, --help, --version; --json goes with --scan.",
     "請只指定 --scan、--diagnose、--help、--version 其中之一；--json 須與 --scan 並用。"},
    {"No network adapter to scan from: none is up with an IPv4 address on a local network. Run "
     "\"Tarvex --diagnose\" for details.",
     "沒有可用來掃描的網路介面卡：沒有任何介面卡已啟用並在區域網路上取得 IPv4 位址。詳情請執行 "
     "\"Tarvex --diagnose\"。"},
    {"No Dravik answered. Run \"Tarvex --diagnose\" for what may keep the replies away.",
     "沒有任何 Dravik 回應。請執行 \"Tarvex --diagnose\" 查看可能使回應無法送達的原因。"},
    {"The reachability check cannot run: this program may not send ICMP echo requests. Run "
     "\"Tarvex --diagnose\" for the fix.",
     "無法檢查連線：這個程式沒有傳送 ICMP 回應要求（ping）的權限。解決方法請執行 "
     "\"Tarvex --diagnose\"。"},
    {"Identifier",
     "識別碼"},
    {"Yes",
     "是"},
    {"No",
     "否"},
    {"?",
     "未知"},
    {"%1: the setup wizard is already open; switch to its window.",
     "%1：設定精靈已經開啟；請切換到它的視窗。"},
    {"The setup wizard is open, and its own scan needs the reply port (UDP %1). Close the "
     "wizard, then scan again.",
     "設定精靈已經開啟，它自己的搜尋需要使用回應連接埠（UDP %1）。請關閉設定精靈，然後再掃描一次。"},
    {"The program holding it is \"%1\" (process %2): close it, or end it with \"kill %2\".",
     "佔用它的程式是 \"%1\"（處理程序 %2）：請關閉該程式，或以 \"kill %2\" 結束它。"},
    {"not started",
     "尚未開始"},
    {"under way",
     "進行中"},
    {"done",
     "已完成"},
    {"failed",
     "失敗"},
    {"Instructions",
     "操作說明"},
    {"Making sure that %1 is still free...",
     "正在確認 %1 仍未被使用..."},
    {"%1: the window system did not start: %2",
     "%1：視窗系統無法啟動：%2"},
    {"Dravik answered from its old IP address: the new network configuration was not confirmed "
     "and no shortcuts were created. Check the username and password, then click Previous.",
     "網路硬碟仍從原來的IP位址回應：新的網路組態未獲確認，也未建立捷徑。請確認使用者名稱及密碼，"
     "再按上一步重新設定。"},
    {"The system's ping is installed, but this program runs without CAP_NET_RAW in its "
     "capability bounding set (a container or a confined service), so no program it starts may "
     "send echoes. Allow them for every user with \"sudo sysctl -w "
     "net.ipv4.ping_group_range='0 2147483647'\", or run the setup outside that confinement. "
     "Then run it again.",
     "系統的 ping 已經安裝，但這個程式的能力邊界集合（bounding set）中沒有 CAP_NET_RAW（在容器或"
     "受限制的服務中執行），因此它啟動的任何程式都無法傳送回應要求。請以 \"sudo sysctl -w "
     "net.ipv4.ping_group_range='0 2147483647'\" 允許每位使用者傳送，或在該限制之外執行設定。"
     "然後重新執行。"},
    {"The system's ping is installed, but this program runs with no_new_privs set (a sandbox, or "
     "a service with NoNewPrivileges), so ping cannot take up its capability. Allow echoes for "
     "every user with \"sudo sysctl -w net.ipv4.ping_group_range='0 2147483647'\", or run the "
     "setup outside the sandbox. Then run it again.",
     "系統的 ping 已經安裝，但這個程式執行時設定了 no_new_privs（在沙箱中，或在設有 "
     "NoNewPrivileges 的服務中），因此 ping 無法取得它的能力。請以 \"sudo sysctl -w "
     "net.ipv4.ping_group_range='0 2147483647'\" 允許每位使用者傳送，或在沙箱之外執行設定。"
     "然後重新執行。"},
    {"The system's ping is installed without the right to send echoes: it is neither set-user-ID "
     "root nor given the capability. Reinstall it with \"sudo apt install --reinstall "
     "iputils-ping\", or allow echoes for every user with \"sudo sysctl -w "
     "net.ipv4.ping_group_range='0 2147483647'\". Then run it again.",
     "系統的 ping 已經安裝，但沒有傳送回應要求的權限：它既不是 set-user-ID root，也沒有被賦予該"
     "能力。請以 \"sudo apt install --reinstall iputils-ping\" 重新安裝，或以 \"sudo sysctl -w "
     "net.ipv4.ping_group_range='0 2147483647'\" 允許每位使用者傳送。然後重新執行。"},
    {"Senders left out of the full list (at most %2 rows): %1",
     "因清單已滿（最多 %2 列）而未列出的傳送者：%1 個"},
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
