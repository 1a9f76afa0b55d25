<%
Dim userName
userName = Request.Form("name")
If userName = "" Then
    Response.Write "<p>请输入会员名称后再登录。</p>"
Else
    Response.Write "<p>" & Server.HTMLEncode(userName) & "，欢迎您回来！</p>"
End If
%>
<html>
<head><meta charset="gb2312"><title>会员登录</title></head>
<body>
<form method="post" action="default.asp">
会员名称：<input type="text" name="name"> <input type="submit" value="登录">
</form>
</body>
</html>
