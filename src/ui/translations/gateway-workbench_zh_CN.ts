<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>Embedded module configuration software Orvel</source>
        <translation>嵌入式模块配置软件Orvel</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>版本 %1</translation>
    </message>
    <message>
        <source>Technical support: +1 555 0100 (ext. 2)</source>
        <translation>技术支持：+1 555 0100（分机 2）</translation>
    </message>
    <message>
        <source>Need more information and upgrade, please visit:</source>
        <translation>如需更多信息和升级，请访问：</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Build %1</source>
        <translation>构建 %1</translation>
    </message>
</context>
<context>
    <name>CCommandListCommands</name>
    <message>
        <source>Duplicate Command</source>
        <translation>创建命令副本</translation>
    </message>
    <message>
        <source>Cut Command</source>
        <translation>剪切命令</translation>
    </message>
    <message>
        <source>Copy Command</source>
        <translation>复制命令</translation>
    </message>
    <message>
        <source>Paste Command</source>
        <translation>粘贴命令</translation>
    </message>
    <message>
        <source>Move Command Up</source>
        <translation>上移命令</translation>
    </message>
    <message>
        <source>Move Command Down</source>
        <translation>下移命令</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>剪切</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>移动</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>创建副本</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>粘贴</translation>
    </message>
</context>
<context>
    <name>CCommandPoller</name>
    <message>
        <source>%1: %2. Polling stopped.</source>
        <translation>%1：%2。已停止轮询。</translation>
    </message>
</context>
<context>
    <name>CCommandTestDlg</name>
    <message>
        <source>Test Commands</source>
        <translation>测试命令</translation>
    </message>
    <message>
        <source>Poll &amp;once</source>
        <translation>轮询一次(&amp;O)</translation>
    </message>
    <message>
        <source>Poll &amp;continuously</source>
        <translation>连续轮询(&amp;C)</translation>
    </message>
    <message>
        <source>unsigned</source>
        <translation>无符号</translation>
    </message>
    <message>
        <source>signed</source>
        <translation>有符号</translation>
    </message>
    <message>
        <source>hex</source>
        <translation>十六进制</translation>
    </message>
    <message>
        <source>binary</source>
        <translation>二进制</translation>
    </message>
    <message>
        <source>int32</source>
        <translation>32位有符号</translation>
    </message>
    <message>
        <source>uint32</source>
        <translation>32位无符号</translation>
    </message>
    <message>
        <source>float</source>
        <translation>浮点</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>命令</translation>
    </message>
    <message>
        <source>Function</source>
        <translation>功能</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>起始地址</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>个数</translation>
    </message>
    <message>
        <source>Outcome</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>Time (ms)</source>
        <translation>时间(ms)</translation>
    </message>
    <message>
        <source>Values</source>
        <translation>数值</translation>
    </message>
    <message>
        <source>Input Memory, as the replies fill it</source>
        <translation>输入存储区（由应答填入）</translation>
    </message>
    <message>
        <source>Nothing can be sent.</source>
        <translation>无法发送任何命令。</translation>
    </message>
    <message>
        <source>Write...</source>
        <translation>写入...</translation>
    </message>
    <message>
        <source>Write command %1</source>
        <translation>写入命令 %1</translation>
    </message>
    <message>
        <source>%1 at address %2: %3 value(s), separated by commas%4</source>
        <translation>%1，地址 %2：%3 个数值，以逗号分隔%4</translation>
    </message>
    <message>
        <source> (0 or 1)</source>
        <translation>（0 或 1）</translation>
    </message>
    <message>
        <source>Command %1 was not written: %2</source>
        <translation>命令 %1 未写入：%2</translation>
    </message>
    <message>
        <source>Send command %1 (%2) to slave %3 now?
Address %4, values: %5</source>
        <translation>现在向从站 %3 发送命令 %1（%2）吗？
地址 %4，数值：%5</translation>
    </message>
    <message>
        <source>%1 = %2H, command %3</source>
        <translation>%1 = %2H，命令 %3</translation>
    </message>
    <message>
        <source>%1, command %2 (no value)</source>
        <translation>%1，命令 %2（无数值）</translation>
    </message>
    <message>
        <source>&amp;Values as:</source>
        <translation>数值显示为(&amp;V)：</translation>
    </message>
    <message>
        <source>Byte order of 32-bit values: ABCD high word first, CDAB low word first, BADC and DCBA with the bytes of each word swapped</source>
        <translation>32位数值的字节顺序：ABCD 高字在前，CDAB 低字在前，BADC 和 DCBA 为每个字内的字节交换</translation>
    </message>
    <message>
        <source>Adapter switches</source>
        <translation>由转换器切换</translation>
    </message>
    <message>
        <source>RS-485 mode of the driver</source>
        <translation>驱动程序的RS-485模式</translation>
    </message>
    <message>
        <source>RTS up while sending</source>
        <translation>发送时RTS置高</translation>
    </message>
    <message>
        <source>RTS down while sending</source>
        <translation>发送时RTS置低</translation>
    </message>
    <message>
        <source>How the RS-485 transmitter is switched to sending: by the adapter itself (USB adapters), by the serial driver, or by the RTS line</source>
        <translation>RS-485发送器如何切换到发送状态：由转换器自身（USB转换器）、由串口驱动程序或由RTS线切换</translation>
    </message>
    <message>
        <source>Statistics</source>
        <translation>统计</translation>
    </message>
    <message>
        <source>%1 (ms: least / mean / greatest time of the answers)</source>
        <translation>%1（毫秒：应答时间的最小 / 平均 / 最大值）</translation>
    </message>
    <message>
        <source>The module swaps the bytes of command(s) %1 (&quot;Byte Swap&quot;); the picture shows them unswapped, as the slave sends them.</source>
        <translation>模块会交换命令 %1 的字节（&quot;字节交换&quot;）；图中显示的是未交换的字节，即从站发送的原样。</translation>
    </message>
</context>
<context>
    <name>CCompareCommands</name>
    <message>
        <source>Module</source>
        <translation>模块</translation>
    </message>
    <message>
        <source>Module (hardware %1.%2)</source>
        <translation>模块（硬件 %1.%2）</translation>
    </message>
</context>
<context>
    <name>CConflictDlg</name>
    <message>
        <source>Not use</source>
        <translation>未使用</translation>
    </message>
    <message>
        <source>Legal </source>
        <translation>合法</translation>
    </message>
    <message>
        <source>Conflict</source>
        <translation>冲突</translation>
    </message>
    <message>
        <source>Overflow</source>
        <translation>溢出</translation>
    </message>
    <message>
        <source>Selected Command</source>
        <translation>选中的命令</translation>
    </message>
    <message>
        <source>Conflict Detect</source>
        <translation>冲突检测</translation>
    </message>
    <message>
        <source>  Input Memory </source>
        <translation>  输入存储区 </translation>
    </message>
    <message>
        <source> Output Memory </source>
        <translation> 输出存储区 </translation>
    </message>
</context>
<context>
    <name>CDialogPrompt</name>
    <message>
        <source>XML File(*.xml)</source>
        <translation>XML文件(*.xml)</translation>
    </message>
</context>
<context>
    <name>CDifferencesDialog</name>
    <message>
        <source>(none)</source>
        <translation>（无）</translation>
    </message>
    <message>
        <source>Differences</source>
        <translation>差异</translation>
    </message>
    <message>
        <source>Node</source>
        <translation>节点</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>参数项</translation>
    </message>
    <message>
        <source>This configuration</source>
        <translation>本配置</translation>
    </message>
    <message>
        <source>&amp;Only differences</source>
        <translation>仅显示差异(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Copy as Text</source>
        <translation>复制为文本(&amp;C)</translation>
    </message>
    <message>
        <source>No differences.</source>
        <translation>没有差异。</translation>
    </message>
    <message numerus="yes">
        <source>%n difference(s).</source>
        <translation>
            <numerusform>%n 处差异。</numerusform>
        </translation>
    </message>
    <message>
        <source>profibus</source>
        <translation>PROFIBUS</translation>
    </message>
    <message>
        <source>subnet</source>
        <translation>子网</translation>
    </message>
    <message>
        <source>slave:%1</source>
        <translation>从站:%1</translation>
    </message>
    <message>
        <source>slave:%1 command:%2</source>
        <translation>从站:%1 命令:%2</translation>
    </message>
    <message>
        <source>command:%1</source>
        <translation>命令:%1</translation>
    </message>
</context>
<context>
    <name>CEditHistory</name>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
</context>
<context>
    <name>CFleetDlg</name>
    <message>
        <source>Download</source>
        <translation>下载</translation>
    </message>
    <message>
        <source>Verify</source>
        <translation>校验</translation>
    </message>
    <message>
        <source>Upload</source>
        <translation>上传</translation>
    </message>
    <message>
        <source>Probe</source>
        <translation>探测</translation>
    </message>
    <message>
        <source>Fleet</source>
        <translation>批量操作</translation>
    </message>
    <message>
        <source>A CSV file: a row per module, with its name, port and file</source>
        <translation>CSV 文件：每个模块一行，含名称、端口和文件</translation>
    </message>
    <message>
        <source>&amp;Plan:</source>
        <translation>计划(&amp;P)：</translation>
    </message>
    <message>
        <source>&amp;Open…</source>
        <translation>打开(&amp;O)…</translation>
    </message>
    <message>
        <source>As the plan says (verify)</source>
        <translation>按计划所定（校验）</translation>
    </message>
    <message>
        <source>Upload writes each module&apos;s configuration into NAME.xml beside the plan</source>
        <translation>上传把每个模块的配置写入计划旁的 NAME.xml</translation>
    </message>
    <message>
        <source>&amp;Action:</source>
        <translation>操作(&amp;A)：</translation>
    </message>
    <message>
        <source>&amp;Run</source>
        <translation>运行(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation>停止(&amp;S)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Module</source>
        <translation>模块</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Action</source>
        <translation>操作</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>进度</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>消息</translation>
    </message>
    <message>
        <source>Seconds</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>Double-click a file to open it; any other cell shows the module&apos;s Line text</source>
        <translation>双击文件将其打开；双击其他单元格显示该模块的线路记录</translation>
    </message>
    <message>
        <source>Open Plan</source>
        <translation>打开计划</translation>
    </message>
    <message>
        <source>CSV File(*.csv);;All Files(*)</source>
        <translation>CSV 文件(*.csv);;所有文件(*)</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>等待中</translation>
    </message>
    <message numerus="yes">
        <source>%n module(s)</source>
        <translation>
            <numerusform>%n 个模块</numerusform>
        </translation>
    </message>
    <message>
        <source>Running…</source>
        <translation>运行中…</translation>
    </message>
    <message>
        <source>running</source>
        <translation>运行中</translation>
    </message>
    <message>
        <source>succeeded</source>
        <translation>成功</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>已停止</translation>
    </message>
    <message>
        <source>failed (%1)</source>
        <translation>失败（%1）</translation>
    </message>
    <message>
        <source>not started</source>
        <translation>未开始</translation>
    </message>
    <message numerus="yes">
        <source>%n module(s): %1 succeeded, %2 failed</source>
        <translation>
            <numerusform>%n 个模块：%1 个成功，%2 个失败</numerusform>
        </translation>
    </message>
    <message>
        <source>Line: %1</source>
        <translation>线路：%1</translation>
    </message>
    <message>
        <source>The module has not run yet.</source>
        <translation>该模块尚未运行。</translation>
    </message>
</context>
<context>
    <name>CFrameDocumentUi</name>
    <message>
        <source>%1 was changed by another program since it was opened or saved here.
Overwrite it?</source>
        <translation>%1 在此处打开或保存之后已被其他程序修改。
要覆盖它吗？</translation>
    </message>
</context>
<context>
    <name>CHandoverOptionsDlg</name>
    <message>
        <source>Report Options</source>
        <translation>报告选项</translation>
    </message>
    <message>
        <source>I/O List Options</source>
        <translation>I/O 清单选项</translation>
    </message>
    <message>
        <source>PLC address of the first input byte:</source>
        <translation>第一个输入字节的 PLC 地址：</translation>
    </message>
    <message>
        <source>PLC address of the first output byte:</source>
        <translation>第一个输出字节的 PLC 地址：</translation>
    </message>
    <message>
        <source>By byte: %IW256 is bytes 256 and 257</source>
        <translation>按字节：%IW256 即字节 256 和 257</translation>
    </message>
    <message>
        <source>By word: %IW128 is bytes 256 and 257</source>
        <translation>按字：%IW128 即字节 256 和 257</translation>
    </message>
    <message>
        <source>PLC addressing:</source>
        <translation>PLC 寻址：</translation>
    </message>
    <message>
        <source>One row per bit of coils and inputs</source>
        <translation>线圈和输入每位一行</translation>
    </message>
    <message>
        <source>Probe result (gatewaycfg probe --json):</source>
        <translation>命令测试结果（JSON 文件）：</translation>
    </message>
    <message>
        <source>Verify result (gatewaycfg verify --json):</source>
        <translation>核对结果（JSON 文件）：</translation>
    </message>
    <message>
        <source>none</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>浏览...</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>JSON File(*.json);;All Files(*)</source>
        <translation>JSON 文件(*.json);;所有文件(*)</translation>
    </message>
</context>
<context>
    <name>CLinePane</name>
    <message>
        <source>C&amp;lear</source>
        <translation>清除(&amp;L)</translation>
    </message>
    <message>
        <source>Sa&amp;ve As...</source>
        <translation>另存为(&amp;V)...</translation>
    </message>
    <message>
        <source>Save the line as</source>
        <translation>将通信报文另存为</translation>
    </message>
    <message>
        <source>Text (*.txt)</source>
        <translation>文本文件(*.txt)</translation>
    </message>
    <message>
        <source>Cannot write %1.</source>
        <translation>无法写入 %1。</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>New(&amp;N)	Ctrl+N</source>
        <translation>新建(&amp;N)	Ctrl+N</translation>
    </message>
    <message>
        <source>Open(&amp;O)...	Ctrl+O</source>
        <translation>打开(&amp;O)...	Ctrl+O</translation>
    </message>
    <message>
        <source>Save(&amp;S)	Ctrl+S</source>
        <translation>保存(&amp;S)	Ctrl+S</translation>
    </message>
    <message>
        <source>Save As(&amp;A)...</source>
        <translation>另存为(&amp;A)...</translation>
    </message>
    <message>
        <source>Recent File</source>
        <translation>最近的文件</translation>
    </message>
    <message>
        <source>Exit(&amp;X)</source>
        <translation>退出(&amp;X)</translation>
    </message>
    <message>
        <source>Add Node(&amp;I)</source>
        <translation>添加节点(&amp;I)</translation>
    </message>
    <message>
        <source>Add Node</source>
        <translation>添加节点</translation>
    </message>
    <message>
        <source>Delete Node(&amp;S)</source>
        <translation>删除节点(&amp;S)</translation>
    </message>
    <message>
        <source>Delete Node</source>
        <translation>删除节点</translation>
    </message>
    <message>
        <source>Add Command(&amp;A)</source>
        <translation>添加命令(&amp;A)</translation>
    </message>
    <message>
        <source>Add Command</source>
        <translation>添加命令</translation>
    </message>
    <message>
        <source>Delete Command(&amp;L)</source>
        <translation>删除命令(&amp;L)</translation>
    </message>
    <message>
        <source>Delete Command</source>
        <translation>删除命令</translation>
    </message>
    <message>
        <source>Upload(Ctrl+U)</source>
        <translation>上载(Ctrl+U)</translation>
    </message>
    <message>
        <source>Download(Ctrl+D)</source>
        <translation>下载(Ctrl+D)</translation>
    </message>
    <message>
        <source>Export XLS(Ctrl+E)</source>
        <translation>导出Excel表格(Ctrl+E)</translation>
    </message>
    <message>
        <source>Auto Mapping(Ctrl+M)</source>
        <translation>自动映射(Ctrl+M)</translation>
    </message>
    <message>
        <source>Conflict Detect(Ctrl+T)</source>
        <translation>冲突检测(Ctrl+T)</translation>
    </message>
    <message>
        <source>Test Commands...</source>
        <translation>测试命令...</translation>
    </message>
    <message>
        <source>Test Commands</source>
        <translation>测试命令</translation>
    </message>
    <message>
        <source>Toolbar(&amp;T)</source>
        <translation>工具栏(&amp;T)</translation>
    </message>
    <message>
        <source>Tree(&amp;L)</source>
        <translation>配置树(&amp;L)</translation>
    </message>
    <message>
        <source>Annotation(&amp;I)</source>
        <translation>注释(&amp;I)</translation>
    </message>
    <message>
        <source>About(&amp;A)...</source>
        <translation>关于(&amp;A)...</translation>
    </message>
    <message>
        <source>Content</source>
        <translation>帮助内容</translation>
    </message>
    <message>
        <source>Compare with Module…	Ctrl+K</source>
        <translation>与模块比较…	Ctrl+K</translation>
    </message>
    <message>
        <source>Compare with Module</source>
        <translation>与模块比较</translation>
    </message>
    <message>
        <source>Compare with File…</source>
        <translation>与文件比较…</translation>
    </message>
    <message>
        <source>Line(&amp;N)</source>
        <translation>通信报文(&amp;N)</translation>
    </message>
    <message>
        <source>MY Control</source>
        <comment>the tree pane</comment>
        <translation>配置树</translation>
    </message>
    <message>
        <source>MY Control</source>
        <comment>the annotation pane</comment>
        <translation>注释</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>通信报文</translation>
    </message>
    <message>
        <source>Right Button</source>
        <translation>右键菜单</translation>
    </message>
    <message>
        <source>File(&amp;F)</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>Edit(&amp;E)</source>
        <translation>编辑(&amp;E)</translation>
    </message>
    <message>
        <source>View(&amp;V)</source>
        <translation>视图(&amp;V)</translation>
    </message>
    <message>
        <source>Help(&amp;H)</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>工具栏</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>重做</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>撤销%1</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>重做%1</translation>
    </message>
    <message>
        <source>%1 was changed by another program.
Open it again?</source>
        <translation>%1 已被其他程序修改。
要重新打开它吗？</translation>
    </message>
    <message>
        <source>The changes made here since it was saved would be lost.</source>
        <translation>此处自上次保存以来所做的修改将会丢失。</translation>
    </message>
    <message>
        <source>Export I/O List…</source>
        <translation>导出 I/O 清单…</translation>
    </message>
    <message>
        <source>Export Report…</source>
        <translation>导出报告…</translation>
    </message>
    <message>
        <source>Print(&amp;P)…	Ctrl+P</source>
        <translation>打印(&amp;P)…	Ctrl+P</translation>
    </message>
    <message>
        <source>Fleet…</source>
        <translation>批量操作…</translation>
    </message>
</context>
<context>
    <name>CPortChooser</name>
    <message>
        <source>&amp;Serial port:</source>
        <translation>串口(&amp;S)：</translation>
    </message>
    <message>
        <source>&amp;Network:</source>
        <translation>网络(&amp;N)：</translation>
    </message>
    <message>
        <source>Transparent TCP (socket://)</source>
        <translation>透明 TCP (socket://)</translation>
    </message>
    <message>
        <source>RFC 2217 (rfc2217://)</source>
        <translation>RFC 2217 (rfc2217://)</translation>
    </message>
    <message>
        <source>A transparent server keeps the line settings it was given; through RFC 2217 the program sets the line itself.</source>
        <translation>透明服务器保持其设定的线路参数；通过 RFC 2217 由本程序自行设置线路。</translation>
    </message>
    <message>
        <source>host:port</source>
        <translation>主机:端口</translation>
    </message>
    <message>
        <source>The serial device server&apos;s name or address and its TCP port, such as 192.168.1.20:4001 or [fd00::7]:4001</source>
        <translation>串口设备服务器的名称或地址及其 TCP 端口，例如 192.168.1.20:4001 或 [fd00::7]:4001</translation>
    </message>
</context>
<context>
    <name>CSelectCommandDlg</name>
    <message>
        <source>Select Command</source>
        <translation>选择命令</translation>
    </message>
    <message>
        <source>The module cannot send this function: only function codes 01-06, 15 and 16 can be configured.</source>
        <translation>模块无法发送此功能：只能配置功能码01-06、15和16。</translation>
    </message>
</context>
<context>
    <name>CSerialPortDlg</name>
    <message>
        <source>&amp;Verify after download</source>
        <translation>下载后校验(&amp;V)</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Compare with Module</source>
        <translation>与模块比较</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>比较</translation>
    </message>
    <message>
        <source>Exchange %v of %m</source>
        <translation>第 %v 次交换，共 %m 次</translation>
    </message>
    <message>
        <source>Read the module (hardware %1.%2) for comparison</source>
        <translation>已读取模块（硬件 %1.%2）用于比较</translation>
    </message>
    <message>
        <source>The module could not be read back: %1</source>
        <translation>无法回读模块：%1</translation>
    </message>
    <message>
        <source>The module holds what was downloaded.</source>
        <translation>模块中的配置与下载的一致。</translation>
    </message>
    <message numerus="yes">
        <source>But the module differs in %n item(s).</source>
        <translation>
            <numerusform>但模块中有 %n 项不同。</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ExportPrompts</name>
    <message>
        <source>No application was found to open %1.</source>
        <translation>找不到可以打开 %1 的应用程序。</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>另存为</translation>
    </message>
    <message>
        <source>Excel File(*.xlsx)</source>
        <translation>Excel文件(*.xlsx)</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 已存在。
要替换它吗？</translation>
    </message>
    <message>
        <source>The workbook has been saved as
%1

Open it now?</source>
        <translation>工作簿已保存为
%1

现在打开吗？</translation>
    </message>
</context>
<context>
    <name>Handover</name>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>Export I/O List</source>
        <translation>导出 I/O 清单</translation>
    </message>
    <message>
        <source>Export Report</source>
        <translation>导出报告</translation>
    </message>
    <message>
        <source>CSV File(*.csv)</source>
        <translation>CSV 文件(*.csv)</translation>
    </message>
    <message>
        <source>Markdown File(*.md)</source>
        <translation>Markdown 文件(*.md)</translation>
    </message>
    <message>
        <source>JSON File(*.json)</source>
        <translation>JSON 文件(*.json)</translation>
    </message>
    <message>
        <source>HTML File(*.html)</source>
        <translation>HTML 文件(*.html)</translation>
    </message>
    <message>
        <source>PDF File(*.pdf)</source>
        <translation>PDF 文件(*.pdf)</translation>
    </message>
</context>
<context>
    <name>LanguageChoice</name>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>English</source>
        <translation>英文</translation>
    </message>
    <message>
        <source>Chinese (中文)</source>
        <translation>中文</translation>
    </message>
    <message>
        <source>The language changes when the program is started again.</source>
        <translation>重新启动程序后语言才会改变。</translation>
    </message>
</context>
</TS>
