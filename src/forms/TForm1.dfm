object Form1: TForm1
  Left = 200
  Top = 107
  Width = 435
  Height = 300
  Caption = 'Lunidor'
  Font.Charset = SHIFTJIS_CHARSET
  Font.Color = clWindowText
  Font.Height = -12
  Font.Name = 'ＭＳ Ｐゴシック'
  Font.Style = []
  Menu = MainMenu
  PixelsPerInch = 96
  TextHeight = 12
  object Image1: TImage
    Left = 0
    Top = 0
    Width = 105
    Height = 105
    AutoSize = True
  end
  object MainMenu: TMainMenu
    Left = 8
    Top = 216
    object KF1: TMenuItem
      Caption = 'ファイル(&F)'
      object menuFileOpen: TMenuItem
        Caption = '開く(&O)'
        OnClick = menuFileOpenClick
      end
      object N1: TMenuItem
        Caption = '-'
      end
      object menuExit: TMenuItem
        Caption = '終了(&X)'
        OnClick = menuExitClick
      end
    end
  end
  object OpenDialog: TOpenDialog
    FileEditStyle = fsEdit
    Filter = 'MAG FILES (*.mag)|*.mag|ALL FILES (*.*)|*.*'
    Left = 40
    Top = 216
  end
end
