<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>CBaseTitleBar</name>
    <message>
        <location filename="../../app/widgets/cbasetitlebar.cpp" line="53"/>
        <source>Title</source>
        <translation>标题</translation>
    </message>
</context>
<context>
    <name>CDialogToast</name>
    <message>
        <location filename="../../app/widgets/cdialogtoast.cpp" line="40"/>
        <source>Text</source>
        <translation>文本</translation>
    </message>
</context>
<context>
    <name>CTitleBar</name>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="95"/>
        <source>Minimize</source>
        <translation>最小化</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="96"/>
        <source>Maximize</source>
        <translation>最大化</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="97"/>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="98"/>
        <source>Normal</source>
        <translation>还原</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="100"/>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="101"/>
        <source>Alt+S</source>
        <translation>Alt+S</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="102"/>
        <source>Upgrade</source>
        <translation>升级</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="103"/>
        <source>Alt+U</source>
        <translation>Alt+U</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="104"/>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="105"/>
        <source>Alt+A</source>
        <translation>Alt+A</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="106"/>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="107"/>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
</context>
<context>
    <name>CWidgetAbout</name>
    <message>
        <location filename="../../app/widgets/cwidgetabout.cpp" line="28"/>
        <location filename="../../app/widgets/cwidgetabout.cpp" line="59"/>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetabout.cpp" line="60"/>
        <source>SN</source>
        <translation>序列号</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetabout.cpp" line="61"/>
        <source>Module ID</source>
        <translation>模组ID</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetabout.cpp" line="62"/>
        <source>Firmware version</source>
        <translation>固件版本</translation>
    </message>
</context>
<context>
    <name>CWidgetSettings</name>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="117"/>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="207"/>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="208"/>
        <source>Color</source>
        <translation>调色板</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="209"/>
        <source>Distance</source>
        <translation>距离</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="210"/>
        <source>dm</source>
        <translation>分米</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="211"/>
        <source>Emissivity</source>
        <translation>发射率</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="212"/>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="213"/>
        <source>Temperature unit</source>
        <translation>温度单位</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="214"/>
        <source>℃</source>
        <translation>℃</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="215"/>
        <source>℉</source>
        <translation>℉</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="223"/>
        <source>Scale…</source>
        <translation>刻度…</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="216"/>
        <source>Restore defaults</source>
        <translation>恢复默认</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="217"/>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp"/>
        <source>Enter a distance from %1 to %2 dm.</source>
        <translation>请输入 %1 到 %2 dm 之间的距离。</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp"/>
        <source>Enter an emissivity from %1 to %2 %.</source>
        <translation>请输入 %1 到 %2 % 之间的发射率。</translation>
    </message>
</context>
<context>
    <name>PictureReading</name>
    <message>
        <location filename="../../reading/colourscalebar.cpp" line="58"/>
        <location filename="../../reading/scaledialog.cpp" line="54"/>
        <source>Manual</source>
        <translation>手动</translation>
    </message>
    <message>
        <location filename="../../reading/colourscalebar.cpp" line="59"/>
        <location filename="../../reading/scaledialog.cpp" line="53"/>
        <source>Auto</source>
        <translation>自动</translation>
    </message>
    <message>
        <location filename="../../reading/colourscalebar.cpp" line="60"/>
        <location filename="../../reading/scaledialog.cpp" line="49"/>
        <source>Temperature scale</source>
        <translation>温度刻度</translation>
    </message>
    <message>
        <location filename="../../reading/picturereading.cpp" line="25"/>
        <source>Alarm: above %1</source>
        <translation>报警：高于 %1</translation>
    </message>
    <message>
        <location filename="../../reading/picturereading.cpp" line="26"/>
        <source>Alarm: below %1</source>
        <translation>报警：低于 %1</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="58"/>
        <source>Hot and cold markers</source>
        <translation>高温和低温标记</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="61"/>
        <source>Off</source>
        <translation>关闭</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="62"/>
        <source>Above</source>
        <translation>高于</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="63"/>
        <source>Below</source>
        <translation>低于</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="72"/>
        <source>Span</source>
        <translation>范围</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="73"/>
        <source>Low</source>
        <translation>下限</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="74"/>
        <source>High</source>
        <translation>上限</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="76"/>
        <source>Isotherm alarm</source>
        <translation>等温线报警</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="77"/>
        <source>Threshold</source>
        <translation>阈值</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="79"/>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="80"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="121"/>
        <location filename="../../reading/scaledialog.cpp" line="129"/>
        <source>Please enter a number.</source>
        <translation>请输入数字。</translation>
    </message>
    <message>
        <location filename="../../reading/scalesettings.cpp" line="50"/>
        <source>Temperatures must lie between %1 and %2.</source>
        <translation>温度必须在 %1 到 %2 之间。</translation>
    </message>
    <message>
        <location filename="../../reading/scalesettings.cpp" line="152"/>
        <source>The low temperature must be below the high temperature.</source>
        <translation>下限温度必须低于上限温度。</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <location filename="../../app/mainwindow/main.cpp" line="59"/>
        <source>Thermal imager program is running!</source>
        <translation>热成像仪程序已在运行！</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/main.cpp" line="69"/>
        <source>Loading...</source>
        <translation>正在加载...</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/main.cpp" line="76"/>
        <source>Done</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>已导出到 %1</translation>
    </message>
    <message>
        <source>Export failed: %1</source>
        <translation>导出失败：%1</translation>
    </message>
    <message>
        <source>There is no picture to export yet.</source>
        <translation>还没有可导出的图像。</translation>
    </message>
    <message>
        <source>No temperature data yet, please try again!</source>
        <translation>暂无温度数据，请稍后重试！</translation>
    </message>
</context>
<context>
    <name>ThermalImager</name>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="430"/>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="438"/>
        <source>No device found, please connect the device!</source>
        <translation>未找到设备，请连接设备！</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="469"/>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="492"/>
        <source>No data, please connect the device!</source>
        <translation>无数据，请连接设备！</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="495"/>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="495"/>
        <source>Save current temperature matrix?</source>
        <translation>是否保存当前温度矩阵？</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="500"/>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="509"/>
        <source>Save failed!</source>
        <translation>保存失败！</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="505"/>
        <source>No temperature data yet, please try again!</source>
        <translation>暂无温度数据，请稍后重试！</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="509"/>
        <source>Saved successfully!</source>
        <translation>保存成功！</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="535"/>
        <source>Saved to %1</source>
        <translation>已保存到 %1</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="514"/>
        <source>Upgrade</source>
        <translation>升级</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="514"/>
        <source>Do you need to upgrade firmware?</source>
        <translation>是否升级固件？</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="539"/>
        <source>Start firmware upgrade...</source>
        <translation>开始升级固件...</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="546"/>
        <source>The firmware download is completed. 
Please do not power off. 
Please wait patiently for the upgrade to complete!</source>
        <translation>固件下载完成。
请勿断电。
请耐心等待升级完成！</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="549"/>
        <source>Firmware upgrade failed!</source>
        <translation>固件升级失败！</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp"/>
        <source>The camera did not accept the saved distance, emissivity or range.</source>
        <translation>相机未接受已保存的距离、发射率或测温范围。</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp"/>
        <source>No camera connected</source>
        <translation>未连接相机</translation>
    </message>
</context>
<context>
    <name>ThermalImagerClass</name>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="113"/>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="172"/>
        <source>Thermal Imager</source>
        <translation>热成像仪</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="173"/>
        <source>Spot</source>
        <translation>点测温</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="174"/>
        <source>Line</source>
        <translation>线测温</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="175"/>
        <source>Square</source>
        <translation>矩形测温</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="176"/>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="177"/>
        <source>Normal Temperature</source>
        <translation>常温模式</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="178"/>
        <source>High Temperature</source>
        <translation>高温模式</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="179"/>
        <source>Refresh</source>
        <translation>刷新</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="180"/>
        <source>Rotate</source>
        <translation>旋转</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="181"/>
        <source>Temperature profile</source>
        <translation>温度曲线</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="182"/>
        <source>Max 100℃</source>
        <translation>Max 100℃</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="183"/>
        <source>Min 50℃</source>
        <translation>Min 50℃</translation>
    </message>
</context>
<context>
    <name>ExportButton</name>
    <message>
        <source>Export</source>
        <translation>导出</translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation>Ctrl+E</translation>
    </message>
    <message>
        <source>Picture as seen (PNG)...</source>
        <translation>所见图像 (PNG)...</translation>
    </message>
    <message>
        <source>Temperatures, 16-bit (TIFF)...</source>
        <translation>温度，16 位 (TIFF)...</translation>
    </message>
    <message>
        <source>Temperatures as text (CSV)...</source>
        <translation>温度文本 (CSV)...</translation>
    </message>
</context>
<context>
    <name>Recorder</name>
    <message>
        <source>A recording is already running.</source>
        <translation>录制已在进行中。</translation>
    </message>
    <message>
        <source>No camera picture to record.</source>
        <translation>没有可录制的相机画面。</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
</context>
<context>
    <name>RecordingErrors</name>
    <message>
        <source>The file cannot be opened or created.</source>
        <translation>无法打开或创建该文件。</translation>
    </message>
    <message>
        <source>This file is not an Ombrix recording, or it is damaged.</source>
        <translation>此文件不是 Ombrix 录像，或已损坏。</translation>
    </message>
    <message>
        <source>The recording has another frame size than this camera.</source>
        <translation>该录像的帧尺寸与此相机不同。</translation>
    </message>
    <message>
        <source>Writing failed (is the disk full?). The file keeps every frame up to the last whole one.</source>
        <translation>写入失败（磁盘已满？）。文件保留到最后一个完整帧为止的所有帧。</translation>
    </message>
    <message>
        <source>A frame of the recording cannot be read.</source>
        <translation>无法读取录像的某一帧。</translation>
    </message>
    <message>
        <source>The recording failed (error %1).</source>
        <translation>录制失败（错误 %1）。</translation>
    </message>
</context>
<context>
    <name>RecordingControls</name>
    <message>
        <source>Open recording</source>
        <translation>打开录像</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>Record the picture and its temperatures (Ctrl+R)</source>
        <translation>录制画面及其温度 (Ctrl+R)</translation>
    </message>
    <message>
        <source>Play a recording as the picture source</source>
        <translation>将录像作为画面来源播放</translation>
    </message>
    <message>
        <source>Stop %1</source>
        <translation>停止 %1</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>录制</translation>
    </message>
</context>
<context>
    <name>PlaybackBar</name>
    <message>
        <source>Back to the camera</source>
        <translation>返回相机</translation>
    </message>
    <message>
        <source>One frame back (Left)</source>
        <translation>后退一帧（左）</translation>
    </message>
    <message>
        <source>One frame on (Right)</source>
        <translation>前进一帧（右）</translation>
    </message>
    <message>
        <source>Position in the recording</source>
        <translation>录像中的位置</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>暂停</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>播放</translation>
    </message>
</context>
<context>
    <name>RecordingSession</name>
    <message>
        <source>Recording saved: %1</source>
        <translation>录像已保存：%1</translation>
    </message>
    <message>
        <source>Recording stopped. %1</source>
        <translation>录制已停止。%1</translation>
    </message>
    <message>
        <source>No device found, please connect the device!</source>
        <translation>未找到设备，请连接设备！</translation>
    </message>
    <message>
        <source>Recording could not start. %1</source>
        <translation>无法开始录制。%1</translation>
    </message>
    <message>
        <source>The camera was unplugged: the recording ends here and is kept.</source>
        <translation>相机已拔出：录像在此结束并已保留。</translation>
    </message>
    <message>
        <source>%1 cannot be played. %2</source>
        <translation>无法播放 %1。%2</translation>
    </message>
    <message>
        <source>Open recording</source>
        <translation>打开录像</translation>
    </message>
    <message>
        <source>Recordings (*.mkv)</source>
        <translation>录像 (*.mkv)</translation>
    </message>
</context>
</TS>
