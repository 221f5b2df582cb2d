# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
# Generates src/gui/Unit1.ui. Edit the .ui in Qt Designer or rerun this after changing it here.
import html
def esc(s): return html.escape(s, quote=False)
out=[]
def w(s): out.append(s)
def prop_str(name,val,notr=False):
    attr = ' notr="true"' if notr else ''
    return f'<property name="{name}"><string{attr}>{esc(val)}</string></property>'
def geom(x,y,wd,h):
    return f'<property name="geometry"><rect><x>{x}</x><y>{y}</y><width>{wd}</width><height>{h}</height></rect></property>'
def font(pt=None,bold=False):
    s='<property name="font"><font>'
    if pt: s+=f'<pointsize>{pt}</pointsize>'
    if bold: s+='<bold>true</bold>'
    return s+'</font></property>'
def widget(cls,name,x,y,wd,h,extra='',children=''):
    return f'<widget class="{cls}" name="{name}">{geom(x,y,wd,h)}{extra}{children}</widget>'
def label(name,x,y,wd,h,text,extra=''):
    return widget('QLabel',name,x,y,wd,h,prop_str('text',text)+extra)
def tip(t): return prop_str('toolTip',t)
def acc(t): return prop_str('accessibleName',t)
def enabled(b): return f'<property name="enabled"><bool>{"true" if b else "false"}</bool></property>'
def icon(path): return f'<property name="icon"><iconset resource="../resources/resources.qrc"><normaloff>{path}</normaloff></iconset></property>'
def cursor_hand(): return '<property name="cursor"><cursorShape>PointingHandCursor</cursorShape></property>'
def iconsize(n): return f'<property name="iconSize"><size><width>{n}</width><height>{n}</height></size></property>'
Y=-24  # the tool bar takes the top 24 pixels of the client area
def Yc(y): return y+Y

# Layouts. Sizes and margins are chosen so that, at the window's smallest size,
# every widget sits where its geometry above puts it.
def size_prop(prop,wd,h): return f'<property name="{prop}"><size><width>{wd}</width><height>{h}</height></size></property>'
def num(prop,n): return f'<property name="{prop}"><number>{n}</number></property>'
def spacer(name,vertical,length=0,kind='Fixed'):
    # length 0: a stretch that takes the spare room; otherwise a gap of that
    # length, fixed or ('Maximum') given up when the window is too small for it
    wd,h = (0,length) if vertical else (length,0)
    return (f'<spacer name="{name}"><property name="orientation"><enum>Qt::{"Vertical" if vertical else "Horizontal"}</enum></property>'
            f'<property name="sizeType"><enum>QSizePolicy::{kind if length else "Expanding"}</enum></property>{size_prop("sizeHint",wd,h)}</spacer>')
def item(xml,row=None,col=None,align=None):
    attrs = (f' row="{row}" column="{col}"' if row is not None else '') + (f' alignment="{align}"' if align else '')
    return f'<item{attrs}>{xml}</item>'
def layout(cls,name,items,spacing=0,margins=(0,0,0,0),extra=''):
    m = ''.join(num(k,v) for k,v in zip(('leftMargin','topMargin','rightMargin','bottomMargin'),margins))
    sp = num('horizontalSpacing',spacing)+num('verticalSpacing',spacing) if cls=='QGridLayout' else num('spacing',spacing)
    return f'<layout class="{cls}" name="{name}"{extra}>{sp}{m}{"".join(items)}</layout>'

editace_children = ''.join([
  label('lbl_rezim',16,12,40,16,'Režim', prop_str('buddy','edt_rezim',True) if False else ''),
  label('lbl_vlastnik',56,12,56,16,'Vlastník'),
  label('lbl_charakteristika',108,12,90,16,'Charakteristika'),
  label('lbl_evidence',200,12,56,16,'evidence'),
  widget('QLineEdit','edt_rezim',16,32,25,22,font(None,True)+prop_str('text','XX')+acc('Režim')+'<property name="styleSheet"><string notr="true">background-color: palette(window);</string></property>'),
  widget('QLineEdit','edt_vlastnik',64,32,25,22,font(None,True)+prop_str('text','XX')+acc('Vlastník')+'<property name="styleSheet"><string notr="true">background-color: white;</string></property>'),
  widget('QLineEdit','edt_charakteristika',128,32,41,22,font(None,True)+prop_str('text','XXXX')+acc('Charakteristika')),
  widget('QLineEdit','edt_evidence',208,32,33,22,font(None,True)+prop_str('text','XXX')+acc('evidence')),
  widget('QFrame','Panel_kontrolka',264,10,73,47,
         '<property name="frameShape"><enum>QFrame::Panel</enum></property><property name="frameShadow"><enum>QFrame::Raised</enum></property>',
         label('lbl_kontrolka_nazev',10,2,60,16,'Kontrolka')+
         label('lbl_pomlcka',-3,20,34,22,'  -  ',font(12,True))+
         label('lbl_kontrolka',28,20,30,22,'X',font(12,True)+acc('Kontrolní číslice X'))),
  widget('QPushButton','BitBtn_zadano',352,24,81,25,prop_str('text','Zadáno')+tip('Spočítej kontrolní číslici')+icon(':/images/yes.png')+'<property name="autoDefault"><bool>true</bool></property><property name="default"><bool>true</bool></property>'),
])
central = [
  widget('QGroupBox','GroupBox1',24,Yc(32),97,57,prop_str('title','Vozidlo'),
     widget('QRadioButton','rbtn_vozy',8,16,85,18,prop_str('text','vozy')+tip('přepni na vozy')+cursor_hand()+'<property name="checked"><bool>true</bool></property>')+
     widget('QRadioButton','rbtn_lokomotivy',8,34,85,18,prop_str('text','lokomotivy')+tip('Přepni na lokomotivy')+cursor_hand())),
  widget('QFrame','Panel_editace',128,Yc(32),457,65,tip('Editace vozidla'),editace_children),
  widget('QLabel','Image1',592,Yc(48),97,49,acc('Trakvid')),
  widget('QFrame','Panel4',16,Yc(104),569,41,'<property name="frameShape"><enum>QFrame::Panel</enum></property><property name="frameShadow"><enum>QFrame::Raised</enum></property>',
     # the heading grows with the panel; 1 pixel of the frame lies inside the margins
     layout('QHBoxLayout','Panel4_layout',[item(label('lbl_databaze_memo',8,4,553,33,'Výpisy',font(10)))],margins=(7,3,7,3))),
  # the output pane: its read-only view, its editor of the lists and its find bar (outputpane.h)
  widget('OutputPane','Memo1',16,Yc(152),569,121,'<property name="styleSheet"><string notr="true">QPlainTextEdit { background-color: palette(light); }</string></property>'),
  widget('QPushButton','btn_uloz',592,Yc(152),75,25,prop_str('text','Ulož')+enabled(False)+tip('ulož upravený výpis')+cursor_hand()+'<property name="autoDefault"><bool>true</bool></property>'),
  widget('QFrame','Panel_napoveda',592,Yc(216),89,41,tip('Posun v nápovědě'),
     widget('QPushButton','BitBtn_napoveda_zpet',16,8,25,25,enabled(False)+tip('Zpět v nápovědě')+acc('Zpět v nápovědě')+icon(':/images/arrow_back.png')+iconsize(16)+'<property name="autoDefault"><bool>true</bool></property>')+
     widget('QPushButton','bitbtn_napoveda_dale',48,8,25,25,enabled(False)+tip('Další nápověda')+acc('Další nápověda')+icon(':/images/arrow_next.png')+iconsize(16)+'<property name="autoDefault"><bool>true</bool></property>')),
  label('lbl_databaze',16,Yc(288),400,20,'Databáze',font(10,True)),
  widget('DatabaseView','lbx_databaze',16,Yc(312),569,201,acc('Databáze')+'<property name="uniformItemSizes"><bool>true</bool></property><property name="editTriggers"><set>QAbstractItemView::NoEditTriggers</set></property><property name="contextMenuPolicy"><enum>Qt::CustomContextMenu</enum></property>'),
  widget('QListWidget','lbx_tridit',592,Yc(272),105,65,'<property name="visible"><bool>false</bool></property>'),
  widget('QFrame','Panel_databaze',600,Yc(352),89,113,tip('Tlačítka úpravy databáze'),
     widget('QPushButton','Btn_upravit',6,8,75,25,prop_str('text','Upravit')+enabled(False)+tip('Upravit označenou položku v databázi')+'<property name="autoDefault"><bool>true</bool></property>')+
     widget('QPushButton','btn_smaz',6,40,75,25,prop_str('text','Smaž')+enabled(False)+tip('Stačí poklepat položku')+prop_str('accessibleDescription','Smaže vybraný řádek, klávesa Delete')+'<property name="autoDefault"><bool>true</bool></property>')+
     widget('QPushButton','btn_zalozka',6,72,75,25,prop_str('text','Záložka')+enabled(False)+tip('Vlož záložku před označenou položku')+'<property name="autoDefault"><bool>true</bool></property>')),
]

# The pane and the list share the height in the proportion of their classic
# sizes (row stretch 121 : 233, the list's row with its heading): the window
# starts with them, and grown or shrunk it gives or takes height in that
# proportion, down to their minimum sizes (a small or scaled screen); both
# take the added width. The button panels stay beside them and the number row
# at the top. Widgets are placed by name, so that one
# can change its class without touching this.
import re
placed = {re.match(r'<widget class="[^"]*" name="([^"]*)"',x).group(1): x for x in central}
def put(name,min_size=None,max_size=None):
    xml = placed.pop(name)
    limits = (size_prop('minimumSize',*min_size) if min_size else '') + (size_prop('maximumSize',*max_size) if max_size else '')
    return xml.replace('>','>'+limits,1)
def fixed(name): # today's size, from its geometry
    wd,h = map(int,re.search(r'<width>(\d+)</width><height>(\d+)</height>',placed[name]).groups())
    return put(name,(wd,h),(wd,h))
WIDE = 16777215
central_layout = layout('QGridLayout','centralLayout',[
  item(layout('QHBoxLayout','numberRow',[item(fixed('GroupBox1'),align='Qt::AlignTop'),item(fixed('Panel_editace')),item(spacer('numberRowEnd',False))],
              spacing=7,margins=(8,0,0,0)),0,0),
  item(layout('QVBoxLayout','logoColumn',[item(fixed('Image1')),item(spacer('logoEnd',True))],margins=(0,16,0,0)),0,1),
  item(put('Panel4',(569,41),(WIDE,41)),1,0),
  item(put('Memo1',(569,66)),2,0),
  item(layout('QVBoxLayout','paneButtons',[item(fixed('btn_uloz')),item(spacer('paneButtonsGap',True,39,'Maximum')),item(fixed('Panel_napoveda')),
              item(spacer('paneButtonsEnd',True))]),2,1),
  item(layout('QVBoxLayout','databaseColumn',[item(put('lbl_databaze',(0,20),(WIDE,20))),item(put('lbx_databaze',(569,81)))],
              spacing=4,margins=(0,8,0,0)),3,0),
  item(layout('QVBoxLayout','databaseButtons',[item(spacer('databaseButtonsTop',True,72,'Maximum')),item(fixed('Panel_databaze')),item(spacer('databaseButtonsEnd',True))],margins=(8,0,0,0)),3,1),
 ],spacing=7,margins=(16,8,19,2),extra=' rowstretch="0,0,121,233" columnstretch="1,0"')
# Never shown: kept where it was, outside the layouts.
central_layout += placed.pop('lbx_tridit')
assert not placed, f'widgets without a place in the layout: {list(placed)}'

# actions: name, text, icon index or None, tooltip, checkable
IL=lambda i: f':/images/imagelist/{i:02d}.png'
actions = [
 ('uloitvozidlo1','uložit &vozidlo...',0,None,False),
 ('Uloitdatabzi1','&Uložit databázi',2,None,False),
 ('Lokomotivy1','Databázi &lokomotivy',4,None,False),
 ('Vozy1','Databázi &vozy',3,None,False),
 ('PodleCharakteristiky1','&Charakteristika...',None,None,False),
 ('PodleDKV1','&DKV...',None,None,False),
 ('PodleDomovskstanice1','Domovská &stanice...',None,None,False),
 ('Reimvozu2','&Režim vozu',None,None,False),
 ('Vlastnkvozu1','&Vlastník vozu',None,None,False),
 ('Charakteristika561','Charakteristika &5-6',None,None,False),
 ('Charakteristika781','Charakteristika &7-8',None,None,False),
 ('Doplnitstandardnkdy1','&Doplnit standardní kódy',None,None,False),
 ('Podleady1','Řad&a...',None,None,False),
 ('PodleDKV2','&DKV...',None,None,False),
 ('Podleprovoznjednotky1','&Provozní jednotka...',None,None,False),
 ('Kontrolasel1','&Kontrola čísel',None,None,False),
 ('Kontrolasel2','&Kontrola čísel',None,None,False),
 ('technika','&Technické parametry',None,None,True),
 ('udrzba','Ú&držba',None,None,True),
 ('n1','&Výpočet kontrolní číslice',None,None,False),
 ('n2','&Přidat vozidlo do databáze',None,None,False),
 ('n3','&Uložení databáze',None,None,False),
 ('n4','Práce s &databázi',None,None,False),
 ('n5','Výpi&sy',None,None,False),
 ('n6','&Listy',None,None,False),
 ('n7','&Nastavení',None,None,False),
 ('Oprogramu1','&O programu',None,None,False),
 ('Tiskvpisu1','&Tisk výpisu...',None,None,False),
 ('Uloitvpis1','Uložit vý&pis...',None,None,False),
 # tool bar
 ('ulozit_vozidlo','uložit vozidlo',0,'uložit zadané vozidlo',False),
 ('uoloz_databazi','Ulož databázi',2,'Ulož databázi',False),
 ('tbtn_loko','Databáze lokomotivy',4,'Databáze lokomotivy',False),
 ('tbtb_vozy','Databáze vozy',3,'Databáze vozy',False),
 ('tbtn_reimv_ozu','List režimů vozu',6,'List režimů vozu',False),
 ('tbtn_vlastnik','List vlastníků vozů',5,'List vlastníků vozů',False),
 ('tbtn_charakteristika','List charakteristika 5-6',11,'List charakteristika 5-6',False),
 ('tbtn_charakter01','List charakteristika číslice 7-8',12,'List charakteristika číslice 7-8',False),
 ('tbtn_vypisy','Výpisy z databáze',7,'Výpisy z databáze',False),
 # drop-down pmenu_vypisy
 ('pmenu_Charakteristika1','&Charakteristika...',None,None,False),
 ('pmenu_DKV1','&DKV...',None,None,False),
 ('pmenu_Domovstanice1','Domov. &stanice',None,None,False),
 ('pmenu_ada1','Řad&a',None,None,False),
 ('pmenu_DKV2','&DKV...',None,None,False),
 ('pmenu_PJ1','&PJ...',None,None,False),
 ('pmenu_Kontrolasel1','&Kontrola čísel',None,None,False),
 ('pmenu_Kontrolasel2','&Kontrola čísel',None,None,False),
 # PopupMenu_databaze
 ('Sma1','&Smaž',8,None,False),
 ('Upravit1','&Upravit',9,None,False),
 ('Zloka1','&Záložka',10,None,False),
 # PopupMenu_form1 (never opens)
 ('Ulozitvozidlo2','Uložit &vozidlo',None,None,False),
 ('Zobrazitdatabzilokomotivy1','Zobrazit databázi &lokomotivy',None,None,False),
 ('Zobrazitdatabzivozy1','Zobrazit databázi v&ozy',None,None,False),
 ('Zobrazitdatabzireim1','Zobrazit databázi &režim',None,None,False),
 ('Uloitdatabzi2','&Uložit databázi',None,None,False),
]
SHORTCUTS = {'Tiskvpisu1': 'Ctrl+P', 'n1': 'F1', 'Sma1': 'Del'}
def action_xml(a):
    name,text,ic,tp,chk=a
    s=f'<action name="{name}">'+prop_str('text',text)
    if name in SHORTCUTS: s+=prop_str('shortcut',SHORTCUTS[name])
    if chk: s+='<property name="checkable"><bool>true</bool></property>'
    if ic is not None: s+=icon(IL(ic))
    if tp: s+=tip(tp)
    return s+'</action>'
def menu(name,title,items,end=()):
    # `end`: items after all others ("separator" draws a line)
    items=list(items)+list(end)
    s=f'<widget class="QMenu" name="{name}">'+prop_str('title',title)
    sub=''
    for it in items:
        if isinstance(it,tuple):
            sub+=menu(*it)
    s+=sub
    for it in items:
        if isinstance(it,tuple): s+=f'<addaction name="{it[0]}"/>'
        else: s+=f'<addaction name="{it}"/>'
    return s+'</widget>'
menubar = '<widget class="QMenuBar" name="MainMenu1">'+geom(0,0,708,22)+ \
  menu('Databze1','&Databáze',end=['separator','Tiskvpisu1','Uloitvpis1'],items=['uloitvozidlo1','Uloitdatabzi1',
       ('ZobrazitDatabzi1','Zobrazit &Databázi...',['Lokomotivy1','Vozy1']),
       ('Vpiszdatabzevoz1','Výpis z databáze v&ozů',['PodleCharakteristiky1','PodleDKV1','PodleDomovskstanice1','separator','Kontrolasel1']),
       ('Zobrazitlist1','Zobrazit &list...',['Reimvozu2','Vlastnkvozu1','Charakteristika561','Charakteristika781','separator','Doplnitstandardnkdy1']),
       ('Vpiszdatabzelokomotiv1','Výpis z databáze lo&komotiv',['Podleady1','PodleDKV2','Podleprovoznjednotky1','separator','Kontrolasel2'])])+ \
  menu('Nastaven1','&Nastavení',['technika','udrzba'])+ \
  menu('Npovda1','Nápo&věda',['n1','n2','n3','n4','n5','n6','n7','Oprogramu1'])+ \
  '<addaction name="Databze1"/><addaction name="Nastaven1"/><addaction name="Npovda1"/></widget>'
toolbar = '<widget class="QToolBar" name="tbr_databaze">'+prop_str('windowTitle','základní menu')+ \
  '<property name="movable"><bool>false</bool></property><property name="floatable"><bool>false</bool></property>'+iconsize(16)+ \
  '<attribute name="toolBarArea"><enum>TopToolBarArea</enum></attribute><attribute name="toolBarBreak"><bool>false</bool></attribute>'+ \
  ''.join(f'<addaction name="{n}"/>' for n in ['ulozit_vozidlo','uoloz_databazi','tbtn_loko','tbtb_vozy','tbtn_reimv_ozu','tbtn_vlastnik','tbtn_charakteristika','tbtn_charakter01','tbtn_vypisy'])+'</widget>'
ui = f'''<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
<class>TForm1</class>
<widget class="QMainWindow" name="Form1">
{geom(203,105,708,542)}
{prop_str('windowTitle','Trakvid')}
{font(8)}
<property name="windowIcon"><iconset resource="../resources/resources.qrc"><normaloff>:/images/trakvid.png</normaloff></iconset></property>
<widget class="QWidget" name="centralwidget">{central_layout}</widget>
{menubar}
{toolbar}
<widget class="QStatusBar" name="StatusBar1"><property name="sizeGripEnabled"><bool>false</bool></property></widget>
{''.join(action_xml(a) for a in actions)}
</widget>
<tabstops>
<tabstop>rbtn_vozy</tabstop><tabstop>rbtn_lokomotivy</tabstop><tabstop>edt_rezim</tabstop><tabstop>edt_vlastnik</tabstop>
<tabstop>edt_charakteristika</tabstop><tabstop>edt_evidence</tabstop><tabstop>BitBtn_zadano</tabstop>
<tabstop>btn_uloz</tabstop><tabstop>BitBtn_napoveda_zpet</tabstop><tabstop>bitbtn_napoveda_dale</tabstop><tabstop>lbx_databaze</tabstop>
<tabstop>Btn_upravit</tabstop><tabstop>btn_smaz</tabstop><tabstop>btn_zalozka</tabstop>
</tabstops>
<customwidgets>
<customwidget><class>DatabaseView</class><extends>QListView</extends><header>databaseview.h</header></customwidget>
<customwidget><class>OutputPane</class><extends>QWidget</extends><header>outputpane.h</header><container>0</container></customwidget>
</customwidgets>
<resources><include location="../resources/resources.qrc"/></resources>
<connections/>
</ui>
'''
import re
import os
out_path = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'src', 'gui', 'Unit1.ui')
open(out_path, 'w').write(ui)
os.system('xmllint --format ' + out_path + ' -o ' + out_path)
