// 网站导航菜单
var menuItems = [
    { title: "首页", link: "index.htm" },
    { title: "新书消息", link: "news/2026.htm" },
    { title: "会员登录", link: "default.asp" }
];

function showMenu() {
    var html = "<div class=\"menu\">";
    for (var i = 0; i < menuItems.length; i++) {
        html += "<a href=\"" + menuItems[i].link + "\">" + menuItems[i].title + "</a> ";
    }
    document.write(html + "</div>");
}

function confirmLeave() {
    return window.confirm("您确定要离开本页吗？");
}
