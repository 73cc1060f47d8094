object frmMAIN: TfrmMAIN
  Left = 200
  Top = 40
  Width = 766
  Height = 970
  BorderIcons = [biSystemMenu]
  Caption = 'ZEL-WebDienst'
  Color = clBtnFace
  Constraints.MaxWidth = 766
  Constraints.MinHeight = 650
  Constraints.MinWidth = 766
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  KeyPreview = True
  ActiveControl = edPass
  OnActivate = FormActivate
  OnClose = FormClose
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  object Panel1: TPanel
    Left = 0
    Top = 0
    Width = 766
    Height = 225
    Align = alTop
    BevelOuter = bvNone
    TabOrder = 0
    object lbSoapAdr: TLabel
      Left = 8
      Top = 6
      Width = 470
      Height = 20
      AutoSize = False
      Caption = 'lbSoapAdr'
      Font.Charset = DEFAULT_CHARSET
      Font.Color = clBlue
      Font.Height = -16
      Font.Name = 'Verdana'
      Font.Style = [fsBold]
      ParentFont = False
    end
    object Label1: TLabel
      Left = 8
      Top = 36
      Width = 71
      Height = 13
      Caption = 'Benutzername'
    end
    object Label2: TLabel
      Left = 168
      Top = 36
      Width = 43
      Height = 13
      Caption = 'Passwort'
      OnDblClick = Label2DblClick
    end
    object labHersteller: TLabel
      Left = 8
      Top = 84
      Width = 42
      Height = 13
      Caption = 'Lieferant'
      OnDblClick = labHerstellerDblClick
    end
    object Label4: TLabel
      Left = 8
      Top = 128
      Width = 32
      Height = 13
      Caption = 'Saison'
    end
    object Label5: TLabel
      Left = 218
      Top = 128
      Width = 24
      Height = 13
      Caption = 'Land'
      OnDblClick = labHerstellerDblClick
    end
    object Label3: TLabel
      Left = 8
      Top = 172
      Width = 67
      Height = 13
      Caption = 'Artikelnummer'
    end
    object Image1: TImage
      Left = 493
      Top = 8
      Width = 265
      Height = 81
      Picture.Data = {
        0A544A504547496D616765821F0000FFD8FFE000104A46494600010101006000
        600000FFDB0043000503040404030504040405050506070C08070707070F0B0B
        090C110F1212110F111113161C1713141A1511111821181A1D1D1F1F1F131722
        24221E241C1E1F1EFFDB0043010505050706070E08080E1E1411141E1E1E1E1E
        1E1E1E1E1E1E1E1E1E1E1E1E1E1E1E1E1E1E1E1E1E1E1E1E1E1E1E1E1E1E1E1E
        1E1E1E1E1E1E1E1E1E1E1E1E1EFFC00011080051010903012200021101031101
        FFC4001F0000010501010101010100000000000000000102030405060708090A
        0BFFC400B5100002010303020403050504040000017D01020300041105122131
        410613516107227114328191A1082342B1C11552D1F02433627282090A161718
        191A25262728292A3435363738393A434445464748494A535455565758595A63
        6465666768696A737475767778797A838485868788898A92939495969798999A
        A2A3A4A5A6A7A8A9AAB2B3B4B5B6B7B8B9BAC2C3C4C5C6C7C8C9CAD2D3D4D5D6
        D7D8D9DAE1E2E3E4E5E6E7E8E9EAF1F2F3F4F5F6F7F8F9FAFFC4001F01000301
        01010101010101010000000000000102030405060708090A0BFFC400B5110002
        0102040403040705040400010277000102031104052131061241510761711322
        328108144291A1B1C109233352F0156272D10A162434E125F11718191A262728
        292A35363738393A434445464748494A535455565758595A636465666768696A
        737475767778797A82838485868788898A92939495969798999AA2A3A4A5A6A7
        A8A9AAB2B3B4B5B6B7B8B9BAC2C3C4C5C6C7C8C9CAD2D3D4D5D6D7D8D9DAE2E3
        E4E5E6E7E8E9EAF2F3F4F5F6F7F8F9FAFFDA000C03010002110311003F00EE7E
        007C20F877E31F84BA37897C4BA036A1AB5F35CB5CDCBDFDC2B4856E25504859
        00CE1476E7AF5AEF3FE19EBE0F7FD0A1FF00952BBFFE3B4CFD93CE3E00786BFE
        DEBFF4AE6AD4F8E7F123FE158F852D75DFEC6FED6FB45F2DA793F69F236EE8E4
        7DDBB6367EE6318EFD6BD6AD5B153C54A9D39BDDA4AEFB9C14E9D08D08CE715B
        2E8677FC33D7C1EFFA143FF2A577FF00C768FF00867AF83DFF004287FE54AEFF
        00F8ED7957FC35DFFD53EFFCACFF00F68A3FE1AEFF00EA9F7FE567FF00B456FF
        0054CD7BCBFF0002FF008265EDF03D97DDFF0000F55FF867AF83DFF4287FE54A
        EFFF008ED1FF000CF5F07BFE850FFCA95DFF00F1DAF2AFF86BBFFAA7DFF959FF
        00ED15DAFC19FDA03FE162F8D53C37FF00089FF65EEB7926F3FF00B47CEC6DC7
        1B7CA5EB9EB9A8A987CCE9C5CE529597F7BFE0950AB829C946295DF97FC03A0F
        F867AF83DFF4287FE54AEFFF008ED1FF000CF5F07BFE850FFCA95DFF00F1DAD4
        F8E1F117FE159F8420F107F647F6AF9B7A96BE4FDA7C9C6E476DDBB6B7F7318C
        77AF16FF0086BBFF00AA7DFF00959FFED151429E635E1CF4E526BFC5FF0004AA
        B3C252972CD24FD3FE01EABFF0CF5F07BFE850FF00CA95DFFF001DA3FE19EBE0
        F7FD0A1FF952BBFF00E3B5E55FF0D77FF54FBFF2B3FF00DA28FF0086BBFF00AA
        7DFF00959FFED15B7D5335EF2FFC0BFE099FB7C0F65F77FC03D57FE19EBE0F7F
        D0A1FF00952BBFFE3B47FC33D7C1EFFA143FF2A577FF00C76BD3F757CEFE3EFD
        A73FE115F19EADE1CFF8427ED9FD9D72D079FF00DABE5F99B4F5DBE49C7D326B
        970F2C7621B8D39C9B5FDEFF00366F56386A2AF38A5F2FF80773FF000CF5F07B
        FE850FFCA95DFF00F1DA3FE19EBE0F7FD0A1FF00952BBFFE3B56FE04FC4FFF00
        85A1A0DFEA9FD89FD91F63BA16FE5FDABCFDFF00286CE762E3AF4C57A26EACEA
        D7C5D29B84E724D79BFF0032E14B0F522A518AB7A1E61FF0CF5F07BFE850FF00
        CA95DFFF001DA3FE19EBE0F7FD0A1FF952BBFF00E3B5E9FBA8DD59FD7313FF00
        3F25F7B2BEAF47F917DC8F30FF00867AF83DFF004287FE54AEFF00F8ED1FF0CF
        5F07BFE850FF00CA95DFFF001DAF4FDD46EA3EB989FF009F92FBD87D5E8FF22F
        B91E61FF000CF5F07BFE850FFCA95DFF00F1DA3FE19EBE0F7FD0A1FF00952BBF
        FE3B5E9FBA8DD47D7313FF003F25F7B0FABD1FE45F723CC3FE19EBE0F7FD0A1F
        F952BBFF00E3B47FC33D7C1EFF00A143FF002A577FFC76BD3F751BA8FAE627FE
        7E4BEF61F57A3FC8BEE47987FC33D7C1EFFA143FF2A577FF00C768FF00867AF8
        3DFF004287FE54AEFF00F8ED7A7EEA3751F5CC4FFCFC97DEC3EAF47F917DC8F3
        0FF867AF83DFF4287FE54AEFFF008ED1FF000CF5F07BFE850FFCA95DFF00F1DA
        F4FDD46EA3EB989FF9F92FBD87D5E8FF0022FB91E61FF0CF5F07BFE850FF00CA
        95DFFF001DA3FE19EBE0F7FD0A1FF952BBFF00E3B5E9FBA8DD47D7313FF3F25F
        7B0FABD1FE45F723CC3FE19EBE0F7FD0A1FF00952BBFFE3B47FC33D7C1EFFA14
        3FF2A577FF00C76BD3F751BA8FAE627FE7E4BEF61F57A3FC8BEE47987FC33D7C
        1EFF00A143FF002A577FFC768FF867AF83DFF4287FE54AEFFF008ED7A7EEA375
        1F5CC4FF00CFC97DEC3EAF47F917DC8F9D3E3FFC20F877E0EF84BACF897C35A0
        369FAB58B5B35B5CA5FDC33465AE2252406908CE18F6E3AF5AFA43757947ED60
        73F003C4BFF6EBFF00A570D7A96EABAD52756841CDB6EF2DF5E91269C230AB25
        156D17EA7957ECA4D8F805E1AFFB7AFF00D2A9AB67E33FC3DB5F897E18B6D0EE
        F539B4E4B7BD5BB124518724AA3A6DC123FBF9FC2B0BF65438F809E1BFFB7AFF
        00D2A9ABD43755E2272A78A9CE2ECD49FE64D18C67423196D647CE3FF0C9DA2F
        FD0E3A87FE0227FF0015599E29FD9AFC23E19F0FDE6BBACF8EEFADAC6D232F23
        9B44C9F4503772C4E001DC915F4EDC5C456F0493CF2A45146A5E4776015540C9
        249E800AF883F691F8B137C40D7FFB334A95D3C396121FB3AF4FB4C9D0CCC3D3
        A8507A0E7A922BD2C057C6E2AA5B9F45BBB2FF00238F154B0D4217E5D7A6E793
        5CF93F6893ECDE6793BCF97E66376DCF19C719C57D59FB1E7C31BCD2D7FE160E
        B224824BA80C5A75B1E0989B1995BEB8F947A64F715E75FB31FC246F1AEB03C4
        5AF5B9FF008476C64E11C717928FE0FF00707F11EFD3D71F69A6D4508802AA8C
        00380056F9C63EC9D0A7F3FF00232CBF0B77ED65F23C43F6DD39F84763FF0061
        A87FF454D5F22F8434A4D73C5BA3E8924CD0A6A17F05AB48A32504922A9603BE
        339AFADFF6D939F84963FF0061A87FF454D5F20F87F53B8D135ED3F59B4489EE
        2C2EA2BA896504A178DC300C0107191CE08AE9C9D3FAA69BDD98E616FAC6BE47
        D49FF0C9DA2FFD0E3A87FE0227FF001547FC32768BFF00438EA1FF008089FF00
        C5570DFF000D51F10BFE80FE17FF00C069FF00F8F56C7817F693F1D6BBE36D0B
        44BBD2BC3896DA86A56F6B33456F307549245462A4CA4038271906B9654F348A
        6DCBF2FF0023753C0B7651FCCFAD3757E78FC7AFF92CBE2CFF00B09CBFCEBF42
        7757E7AFC78FF92C9E2BFF00B094BFCEB0C87F8D2F4FD4D734FE1C7D4FA23F61
        638F026BDFF6131FFA296BE87DD5F3AFEC3471E05D7BFEC263FF00452D7D0BBA
        B87335FED533A705FC0892EEA37545BA8DD5C163AAE4BBABCBFF0068CF19EB7E
        16F0B69961E14B8583C47AE6A5158D8318D5CAE4E59B6B02A7F857907EFD7A5E
        EAF11F8ABE03F1D78E3E32E937FA7DEFFC23FA368567E6596A8D1C5739BA2C0B
        6D84B839C6D196007EEF3E949A1A35FE0FFC4FB8BFF831A8F897C5AD35CEA9E1
        E7B88B56586245918C7F370836A83B481D8641AC9F15FC7EB5B9F006A1ACF843
        C39E287916D04B05FCBA566D227C8043BEEC1DA4E1B1900F735CE699F0CBE227
        87A6F88FA371E21B1F136932491EA2A61B6F3AF88276988C9F264BB827EEF0BD
        3B77B6BE0AD667FD9A53C0D25BC569AC368DF6730BC8A5566EBB4B292393DC13
        D68B30D0E4F5CF8C5ADDD7C16D3F5F54F11F8635259ECA2B8BF934489E2BD32C
        6E58DBAC8FB5A32573BB82015E39ADFD6BE25DD7877E3D6B5A5EBDADA5B78534
        FF000E8BE30B429C4BBE30086DBBD98EE202E7927A5725E28F09FC4AF127C05D
        2BC1971E095B2D4746BAB28A20355B7905D43146CAD2FDE0131F2FCA493CD4DF
        173E0F7887C73F18353D6A28C59D9269119D3AF9A48D90DE46CA551E3C96DA46
        E04EDC77E7A15A8F43D16EFE31E8167E1CD1F57BAD13C4715C6B6E4699A50B35
        7BEBA518F9D6347202F231B8827D2B1FC65F1661D4FE0EF8AF5FF07CF7BA56B7
        A2EC8A7B7BEB454B8B390C8A30F1BEE5E46E1DC707B8AE3BC7BE07F1FF008E21
        F0AF8AB5CF07C136B1A3ABDAEA7A31D51205BD43C89619A27F93393904820E3A
        8EB37FC2B5D61FE1778E2C749F8776FE1BD47588ADA3B6B35D75AF65B8D926E6
        324923EC5C03C631DF24F14F51687B7780351BAD53C07E1FD4EFE5F3AEEEF4BB
        69E793685DF23C4ACC703006493C018ADCDD5E53A7FC2D1A869FE14BED53C45E
        28D26FF4AD2ACADA6B1B0D4552D8BC2A321942B0639C8241C10057A8EEA69012
        EEA37545BA8DD4585725DD46EA8B751BA8B05C97751BAA2DD46EA2C173CCFF00
        6AD6CFC02F12FF00DBAFFE95435EA3BABCABF6AB39F809E24FFB75FF00D2A86B
        D437574C97FB3C7D65F944C63FC697A2FCD9E57FB2B9C7C06F0E7FDBD7FE954D
        5E9F9AF2DFD964E3E03F873FEDEBFF004AA6AA1FB52F8FB53F05F8220B7D1B31
        5F6AF23DBADC86C18102E58AFF00B472003DB93D40AE8AB4655B1728477727F9
        98C2AAA7878C9F448F36FDABBE2EFDBE69FC05E1BBAFF4589B6EAB731B7FAD70
        7FD4A91FC20FDEF53C74073E57F04BE1C5FF00C46F15A58C7E641A5DB1126A17
        407FAB4CF0ABDB7B6081F89ED5C19249249C93D4D7B07C3AF8EF7FE05F0C41A0
        E8BE14D244484BCB33BC9E64F21EAEC41EBFC8003B57D2BC3CF0D87F67875AF7
        FD4F1FDAC6B55E7ACF4FEB43ECDD0F4CD3F44D22D748D2AD52D6CAD231143120
        E1547F33DC9EA4F357735F247FC354F8A3FE859D1FFEFE49FE35D67C22FDA035
        EF1A7C44D2FC3379A169B6B05E9943CB13B965D913B8C64E3AA815F3D532BC4C
        62E725B6AF53D6863A8B6A299B3FB6B1CFC25B2FFB0CC3FF00A2A6AF93FC0FA7
        5B6B1E35D0B49BCDFF0066BDD46DEDA6D870DB1E4556C1EC704D7D5DFB6A1CFC
        27B2FF00B0CC3FFA2A6AF91FC39A9CBA278874DD6618D2596C2EE2BA447FBACD
        1B8600E3B1C57B594A7F54696FA9E6E3DAF6FAF91F62FF00C3357C34FEE6B1FF
        008183FF0089ABBA0FECFBF0F745D72C359B25D57ED561731DCC3BEEF2BBD183
        2E46DE4640AF22FF0086A9F147FD0B3A3FFDFC93FC68FF0086A9F147FD0B3A3F
        FDFC93FC6B85E17326ACE5F89D4ABE0D74FC0FADF35F9F3F1DBFE4B178ABFEC2
        52FF003AFBD741BE7D4743B0D4244547BAB68E6655E80B28240FCEBE0AF8EBFF
        002587C55FF61297F9D2C8D5AB49797EA1993BD38FA9F41FEC3A71E06D77FEC2
        63FF00452D7D079AF847E107C63D5FE1B68F79A669DA4D8DEA5D5C79ECD3B382
        A7685C0C1E9C576FFF000D53E28FFA16747FFBF927F8D18DCB31156BCA715A3F
        30C3636953A4A327AA3EB7CD19AF0FF803F19F58F88FE29BED2351D22C6CA3B6
        B2372AF0339248745C1C9E9F357B66EAF22BE1E7427C93DCEFA55A3563CD1D89
        335CDF8DFC79E12F0545049E27D6E0D3BED19F291959DDF1D484405B03D718AE
        837578EFC65F0A6A1A9FC44D1FC4FE16F11E8369E24D36C4A2E9FAB6D292C259
        F0E06091C9719C7A723158B354CEFF004BF883E0ED4FC2973E2AB2D7ADE4D16D
        64F2E7BB2ACAB1B7CBC3060083F3AF6EE2BA1B0BCB6BFB1B7BEB39966B6B9896
        58645E8E8C01561EC4106BE5DF11788AE3C73F007C6A97D650689A9681A921BC
        1A2388ED6FDF223CBE33BD7BF5392919CE062B66EC5BF83FE0D785215F15F8F2
        F2F3C46D65F6582CF53412AB1831E444ECB88A2CBAF1C9E147A9A9B8EC7D1F9A
        335F34FC37F1378BECF53F893E14D5B50D680D334492EED5751D452EEEED24F2
        B3FEBE3E09F9C1E3A607439AE5F4ED53E20DA7837E1DF8920F889AEBDE788350
        934D68AE25F3A1891A568D58AB67CC61C9CB67B018028E60B1F5F668CD7CD769
        AD789F41FF0085BFE1497C57ACEA69A36982E6C2F6EAE49B985DA3DC76B8C11F
        7874C01B78C64D6159DD78FAD0FC30B88FE236BCF2F8C227B6BA134A24482306
        350C8AD9CC9B64CEF393B8673DA8B858FAC7358BE20F16681A06ADA4695AB5FF
        00D9AF35998C1611F92EFE7382A08CAA90BF7D79620735F3FE9DE34F17F863C1
        5F16F4F4D7B50D5EE3C35790C3A75E5EBF9B3A2CD2B4658B1EBB40DC3B039E31
        C5656A1A76A161E31F82F757DE32D4BC46DA95C25E95BD984A6077F20B146FBD
        B0E4000938D871D4D170B1F57E6B2EF7C45A2D96BF63A0DDEA30C3A9DFAB35AD
        B31F9E50A09623E801FCABE64F89BE2BD6EE27F16788FC23ACF8E843A2EA1E4C
        B74DAC430E9F03F9817CB5B623748BD8724F20918E2AD78B74C9BC59F187E196
        A379E21D774F9BC45A2ADCC92595E794D68FF66C916E707CB0C7EF0E73B8FAD1
        70B1F52E68CD7CCBE39D4FC77A9FC5EBCF00E8B7BE28B8B4D134C805BA69FAD4
        3637370DE5464DC4B2C83F7A72D8207A678E72CF1AEBDF12ADFE14783A0D635A
        B8D2BC42DE245B09AEACEF51CCA9860BE61858AB60F054F5DBC8E68B858FA773
        466BC4BE195DEBBA1FC7FF0011781AEBC4DAC6B9A5A69097F136A73F9B24726E
        881C1C0007EF1B8000E9E95ED3BAA96A27A1E69FB541CFC06F11FF00DBAFFE95
        435E9F9AF2DFDA98E7E03F88FF00EDD7FF004AA1AF4EDD5D325FECF1F597E513
        18BFDECBD17E6CF2EFD970FF00C589F0EFFDBD7FE954B5B1F157E1C685F11ECE
        C6D75CBBD46DD2CA4692336722212580073B91BD3DAB0FF65E3FF162FC3BFF00
        6F3FFA552D67FC41F8D1FF00089F8BEFBC3FFF0008DFDB3ECBE5FEFBEDDE5EED
        D1ABFDDF2CE31BB1D7B518EC5470B8895472B7BCFF0053A72BCB31199C551A10
        E67CA9B574B4D3BB5DD199FF000CC1E00FFA0BF89BFF000260FF00E3347FC330
        7803FE82FE26FF00C0983FF8CD54FF00868AFF00A93FFF002A5FFDAA8FF868AF
        FA93FF00F2A5FF00DAAB9FFD625FF3F5FDCFFC8F5BFD46CCBFE81FFF00268FFF
        00245BFF008660F007FD05FC4DFF0081307FF19ADCF01FC07F07F837C5965E25
        D2F52D766BBB32FE5A5CCF134677A321C858C1E8C7B8E6B98FF868AFFA93FF00
        F2A5FF00DAA8FF00868AFF00A93FFF002A5FFDAA94B882324E2EABB3F27FE435
        C1199C5DD61FFF00268FFF00247AAFC4EF03691F10BC3D1689AD5C5F5BDB4572
        B72AD68EAAFB955940CB2B0C61CF6F4AF35FF8660F007FD05FC4DFF81307FF00
        19AA9FF0D15FF527FF00E54BFF00B551FF000D15FF00527FFE54BFFB55452CF6
        9D28F2C2A597A3FF0022A7C159A4DDE542FF00F6F47FF922DFFC3307803FE82F
        E26FFC0983FF008CD1FF000CC1E00FFA0BF89BFF000260FF00E33553FE1A2BFE
        A4FF00FCA97FF6AA3FE1A2BFEA4FFF00CA97FF006AAD3FD625FF003F5FDCFF00
        C88FF51B32FF00A07FFC9A3FFC91EEDA65AC5A7E9B6B610B3B456D0A4285CE58
        AAA80338EFC579478AFF0067BF057893C49A86BD7DA9F8823B9BE9DA695219E1
        0818F50A0C44E3EA4D607FC3457FD49FFF00952FFED547FC3457FD49FF00F952
        FF00ED558D2CE68D26E50A966FC9FF0091ACF833359AB4A85FFEDE8FFF00245B
        FF008660F007FD05FC4DFF0081307FF19A3FE1983C01FF00417F137FE04C1FFC
        66AA7FC3457FD49FFF00952FFED547FC3457FD49FF00F952FF00ED55B7FAC4BF
        E7EBFB9FF9197FA8D997FD03FF00E4D1FF00E48EE7E177C1FF000CFC3BD6AE75
        6D12FB57B89EE2D8DBBADE4B1B2852CAD90163539CA8EF5E8BBABC07FE1A2BFE
        A4FF00FCA97FF6AA3FE1A2BFEA4FFF00CA97FF006AAE7A99BD0AB2E69CEEFD1F
        F91B4383B3682B468E9FE28FFF00247BF6EAE5BC6DF0FBC19E349A29FC4DA141
        7F3429E5C72991E3755C93B7723038C9271EF5D266B96D6FC5971A6F889F4FFE
        CC8A5B388D8ACD3FDA8AC81AEA768536C7B086019413F30382700E307A9A5D4F
        9D4CB9A4F823C25A5785AE3C2F61A15AC3A3DC8613DB00489770C12CC4962700
        724E781E958D07C21F8710787E5D063F0CC5FD9D2DC8BA689AE6662250368657
        2FB94E38F948AA9E1FF894355D264BE1A75A314B7B39CADA6A1E7AC7F6890279
        723796BB245CE4AE0FD45747A3EB97FAA5CBDC41A6DBA690B71341F6A92EC894
        9899919BCBD98DBBD08077E71CE295931DD94F46F86BE07D1A7D467D33424B69
        353B43657852E25C4B11001182D804E39618627249C9269EBF0EBC16BA4689A4
        8D1B167A15CFDAB4D8FED537EE25DE5F7677E5BE624E189159A3C73A94FA0B6A
        B65A05B1D977142D0DCDFB44DE5CCD179120C44D90CB2A920E3690CBF3115B77
        9E226D2EEA0875BB786D11EC67BB79A39CC91A1876974C95527E56DC0E0642B7
        1C516417632E7C09E13B8BED76FA6D2775C6BF00B7D4DFED128F3E30BB40C06C
        2F03AAE0D27FC203E11C78747F64F1E1BC9D27FD265FF47CEDCFF17CFF00757E
        F67A547A7F8C2D4D979BAAC0F65741911ED20496E658D8DBC7332B2AC79F9448
        32402BD32413B44D71E34F0CDB9FDEEAB18F92570446E4158E1599C82072046E
        ADEE0F19A7641764965E0AF0B59DC6BD3C1A4465FC4073AA89247916E7EF7556
        2401F3B70A075AC5D27E107C37D26FEC2FF4FF000CC56F75613FDA2DA55B998B
        23E41C925FE6008E14E40E703935B579E2ED02D1AEC5CDEBC6B691CAF3486DE4
        F2C79685E401F6ED66550495525B83C706B5ACAEA3BBB64B8884A11F3812C4D1
        B7071CAB0047E228B20BB391D5FE127C39D5750BFBFBFF000C412DC6A0C5AE99
        669503B1392DB558056CE7E6001E4F3C9AB7E24F86BE07F1168FA5E93ACE831D
        D5A6950882C54CF2A3431850A143AB06230ABD49E95D4E68CD1CA85CC729E26F
        867E04F12A590D6BC3D05D35942B05BC8259239163518552E8C1980F424F53EB
        524BF0EBC152689A668A7428934FD2AE85E59431CD2208E6049DF956058F27EF
        120D74F9A33472A0E632ADFC2FA0DBF8C2E7C5F0D86DD6EE6D45A4D73E739DD1
        02A76ECCED1CA2F20678EB5B5BAA2CD19A760B9E71FB519FF8B13E22FF00B75F
        FD2A8ABD3375797FED427FE2C5F88BFEDDBFF4AA2AF4BCD74497EE23EB2FCA26
        317FBD7E8BF53CC7F6613FF1637C3DFF006F3FFA532D767A87867C35A8DE3DE6
        A1E1ED22EEE64C6F9A7B38DDDB00019623270001F8578A7C0FF8ABE04F0A7C2F
        D27C3FE20D71AC753B36B85B8B76B29D8C64CF23004AA119C30EF5DAFF00C2F6
        F857FF00434FFE53EE7FF8DD7462F0952A569BE46D5DF4F3230B8B54611E59D9
        DBBD8EBFFE10CF077FD0A7A0FF00E0BA2FFE268FF8433C1DFF00429E83FF0082
        E8BFF89AE43FE17B7C2BFF00A1A7FF0029F73FFC6E8FF85EDF0AFF00E869FF00
        CA7DCFFF001BAE6FECF9FF00CFA7F71D5FDA953FE7F3FF00C0BFE09D7FFC219E
        0EFF00A14F41FF00C1745FFC4D1FF086783BFE853D07FF0005D17FF135C87FC2
        F6F857FF00434FFE53EE7FF8DD1FF0BDBE15FF00D0D3FF0094FB9FFE3747F67C
        FF00E7D3FB83FB52A7FCFE7FF817FC13AFFF008433C1DFF429E83FF82E8BFF00
        89A3FE10CF077FD0A7A0FF00E0BA2FFE26B90FF85EDF0AFF00E869FF00CA7DCF
        FF001BA3FE17B7C2BFFA1A7FF29F73FF00C6E8FECF9FFCFA7F707F6A54FF009F
        CFFF0002FF008275FF00F086783BFE853D07FF0005D17FF1347FC219E0EFFA14
        F41FFC1745FF00C4D721FF000BDBE15FFD0D3FF94FB9FF00E3747FC2F6F857FF
        00434FFE53EE7FF8DD1FD9F3FF009F4FEE0FED4A9FF3F9FF00E05FF04EBFFE10
        CF077FD0A7A0FF00E0BA2FFE268FF8433C1DFF00429E83FF0082E8BFF89AE43F
        E17B7C2BFF00A1A7FF0029F73FFC6E8FF85EDF0AFF00E869FF00CA7DCFFF001B
        A3FB3E7FF3E9FDC1FDA953FE7F3FFC0BFE09D7FF00C219E0EFFA14F41FFC1745
        FF00C4D1FF00086783BFE853D07FF05D17FF00135C87FC2F6F857FF434FF00E5
        3EE7FF008DD1FF000BDBE15FFD0D3FF94FB9FF00E3747F67CFFE7D3FB83FB52A
        7FCFE7FF00817FC13AFF00F8433C1DFF00429E83FF0082E8BFF89A3FE10CF077
        FD0A7A0FFE0BA2FF00E26B90FF0085EDF0AFFE869FFCA7DCFF00F1BA3FE17B7C
        2BFF00A1A7FF0029F73FFC6E8FECF9FF00CFA7F707F6A54FF9FCFF00F02FF827
        A6E6B24F87F496F12C9E219AD629AFDA18A149258D58C210C841438CA93E6367
        9E702B88FF0085EDF0AFFE869FFCA7DCFF00F1BA3FE17B7C2BFF00A1A7FF0029
        F73FFC6EB4FAA57FE47F7339BEB14FF997DE74EBE0BD292C2C6CA3B8BD48ED2C
        60B2CABAE66485D1E22FF2F2CA50E08C7123F1C8C3E7F0A412417B690EB1AA5A
        D85E19CC9670BC4230D36EF30A9285C64BB36376013C0AE57FE17B7C2BFF00A1
        A7FF0029F73FFC6E8FF85EDF0AFF00E869FF00CA7DCFFF001BA5F53ADFC8FEE6
        3FAC53FE65F79D53F83341569C595B2E9D15C7D9FCD86CE348A36304BE6A3602
        F5CF04F71C76043F5EF08685ABDB24125AADAA8BD17921B5558CCCF821C3F1F3
        0756656CF2431E475AE4BFE17B7C2BFF00A1A7FF0029F73FFC6E8FF85EDF0AFF
        00E869FF00CA7DCFFF001BA3EA75BF91FDCC3EB14FF997DE74FAC782B48D52F2
        6BC9DA51712DC9B9DE638A50A4C3144542C88CB822143C827238207155EFFE1F
        E837974F712BDD2330B61B636444510F076A85C0122011B81C155006DC5607FC
        2F6F857FF434FF00E53EE7FF008DD1FF000BDBE15FFD0D3FF94FB9FF00E3747D
        4EB7F23FB987D629FF0032FBCE86EFC07A25C5C6A72E648C6A493ACC12183729
        990ABB2C86332027731FBC464F4C715D666BCCBFE17B7C2BFF00A1A7FF0029F7
        3FFC6E8FF85EDF0AFF00E869FF00CA7DCFFF001BA160EB2FB0FEE61F58A7FCCB
        EF3D373466BCCBFE17B7C2BFFA1A7FF29F73FF00C6E8FF0085EDF0AFFE869FFC
        A7DCFF00F1BA7F54AFFC8FEE62F6F4FF00997DE7A6E68CD7997FC2F6F857FF00
        434FFE53EE7FF8DD1FF0BDBE15FF00D0D3FF0094FB9FFE3747D52BFF0023FB98
        7B7A7FCCBEF3D373466BCCBFE17B7C2BFF00A1A7FF0029F73FFC6E8FF85EDF0A
        FF00E869FF00CA7DCFFF001BA3EA95FF0091FDCC3DBD3FE65F78FF00DA78FF00
        C58DF10FFDBB7FE94C55E959AF9F7E387C55F0278AFE17EADE1FF0FEB8D7DA9D
        E35BADBDBAD94EA642278D8805900CE14F7AF7ECD5D5A72A7462A6ADABDFD224
        C2719546E2EFA2FD46514515CE6C145145001451450014514500145145001451
        4500145145001451450014514500145145001451450014514500145145001451
        45001451450014514500145145007FFFD9}
    end
    object edUser: TEdit
      Left = 8
      Top = 52
      Width = 150
      Height = 21
      TabOrder = 0
      OnEnter = edUserEnter
    end
    object edPass: TEdit
      Left = 168
      Top = 52
      Width = 150
      Height = 21
      PasswordChar = '*'
      TabOrder = 1
      OnEnter = edPassEnter
      OnKeyPress = edPassKeyPress
    end
    object btLogin: TButton
      Left = 328
      Top = 50
      Width = 90
      Height = 25
      Caption = 'Anmelden'
      TabOrder = 2
      OnClick = btLoginClick
    end
    object cbHer: TKComboBox
      Left = 8
      Top = 100
      Width = 410
      Height = 22
      SortItem = 3
      ColWidths = '0;4;40;'
      KeyPos = 1
      ColorChanged = clWindowText
      MapEnterToTab = False
      Style = csOwnerDrawFixed
      ItemHeight = 16
      TabOrder = 3
      OnChange = cbHerChange
      OnEnter = cbHerEnter
    end
    object cbSai: TKComboBox
      Left = 8
      Top = 144
      Width = 200
      Height = 22
      SortItem = 1
      ColWidths = '0;40;'
      KeyPos = 1
      ColorChanged = clWindowText
      MapEnterToTab = False
      Style = csOwnerDrawFixed
      ItemHeight = 16
      Sorted = True
      TabOrder = 4
    end
    object cbLnd: TKComboBox
      Left = 218
      Top = 144
      Width = 80
      Height = 22
      SortItem = 3
      ColWidths = '20;'
      KeyPos = 1
      ColorChanged = clWindowText
      MapEnterToTab = False
      Style = csOwnerDrawFixed
      ItemHeight = 16
      TabOrder = 5
    end
    object edFab: TEdit
      Left = 8
      Top = 188
      Width = 200
      Height = 21
      TabOrder = 6
      OnEnter = edFabEnter
      OnKeyPress = edFabKeyPress
    end
    object btSearch: TButton
      Left = 218
      Top = 186
      Width = 90
      Height = 25
      Caption = 'Suchen'
      TabOrder = 7
      OnClick = btSearchClick
    end
    object chkPic: TCheckBox
      Left = 318
      Top = 190
      Width = 110
      Height = 17
      Caption = 'Bild anzeigen'
      TabOrder = 8
    end
  end
  object lbox: TKListBox
    Left = 0
    Top = 225
    Width = 201
    Height = 745
    SortItem = 0
    ColWidths = '2;5;40;'
    KeyPos = 2
    Align = alLeft
    Color = 16711145
    Style = lbOwnerDrawFixed
    ItemHeight = 13
    TabOrder = 1
    OnEnter = lboxEnter
    OnKeyPress = lboxKeyPress
    OnKeyUp = lboxKeyUp
    OnMouseDown = lboxMouseDown
  end
  object Panel2: TPanel
    Left = 201
    Top = 225
    Width = 565
    Height = 745
    Align = alClient
    BevelOuter = bvNone
    TabOrder = 2
    object Panel3: TPanel
      Left = 0
      Top = 0
      Width = 565
      Height = 137
      Align = alTop
      BevelOuter = bvNone
      TabOrder = 0
      object lbStmStatus: TLabel
        Left = 8
        Top = 4
        Width = 370
        Height = 17
        AutoSize = False
        Caption = 'Artikelstatus:'
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clRed
        Font.Height = -14
        Font.Name = 'MS Sans Serif'
        Font.Style = [fsBold]
        ParentFont = False
      end
      object lbPicStatus: TLabel
        Left = 8
        Top = 22
        Width = 370
        Height = 17
        AutoSize = False
        Caption = 'Bildstatus:'
        Font.Charset = DEFAULT_CHARSET
        Font.Color = clRed
        Font.Height = -14
        Font.Name = 'MS Sans Serif'
        Font.Style = [fsBold]
        ParentFont = False
      end
      object btEDIpricat: TSpeedButton
        Left = 316
        Top = 104
        Width = 23
        Height = 22
        Hint = 'Pricat anzeigen'
        Caption = 'P'
        ParentShowHint = False
        ShowHint = True
        OnClick = btEDIpricatClick
      end
      object btKCSV: TSpeedButton
        Left = 342
        Top = 104
        Width = 23
        Height = 22
        Hint = 'KCSV anzeigen'
        Caption = 'K'
        ParentShowHint = False
        ShowHint = True
        OnClick = btKCSVClick
      end
      object KALabel1: TKALabel
        Left = 8
        Top = 46
        Width = 37
        Height = 13
        Caption = 'ZEL-ID'
      end
      object KALabel2: TKALabel
        Left = 100
        Top = 46
        Width = 67
        Height = 13
        Caption = 'Artikelnummer'
      end
      object KALabel6: TKALabel
        Left = 8
        Top = 88
        Width = 50
        Height = 13
        Caption = 'Hersteller'
      end
      object edZELID: TStrEdit
        Left = 8
        Top = 62
        Width = 84
        Height = 21
        EditMask = '00000000'
        MapEnterToTab = False
        MaxLength = 8
        Color = clInfoBk
        ReadOnly = True
        TabStop = False
        TabOrder = 0
        OnExit = edZELIDExit
      end
      object edHFab: TStrEdit
        Left = 100
        Top = 62
        Width = 160
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabOrder = 1
        OnExit = edZELIDExit
      end
      object chkNOS: TCheckBox
        Left = 270
        Top = 64
        Width = 60
        Height = 17
        Caption = 'NOS'
        Enabled = False
        TabOrder = 2
      end
      object edHer: TStrEdit
        Left = 8
        Top = 104
        Width = 300
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 3
        OnExit = edZELIDExit
      end
      object panPic: TPanel
        Left = 385
        Top = 0
        Width = 180
        Height = 137
        Align = alRight
        BevelOuter = bvLowered
        TabOrder = 4
        object pic: TImage
          Left = 1
          Top = 1
          Width = 178
          Height = 135
          Align = alClient
          Proportional = True
          Stretch = True
        end
      end
    end
    object Panel4: TPanel
      Left = 0
      Top = 137
      Width = 565
      Height = 304
      Align = alTop
      BevelOuter = bvNone
      TabOrder = 1
      object KALabel3: TKALabel
        Left = 8
        Top = 10
        Width = 80
        Height = 13
        Caption = 'Lieferant'
      end
      object edLief: TStrEdit
        Left = 92
        Top = 6
        Width = 180
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 0
        OnExit = edZELIDExit
      end
      object KALabel4: TKALabel
        Left = 8
        Top = 33
        Width = 80
        Height = 13
        Caption = 'Marke'
      end
      object edMarke: TStrEdit
        Left = 92
        Top = 29
        Width = 180
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 1
        OnExit = edZELIDExit
      end
      object KALabel5: TKALabel
        Left = 8
        Top = 56
        Width = 80
        Height = 13
        Caption = 'Saison'
      end
      object edSai: TStrEdit
        Left = 92
        Top = 52
        Width = 180
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 2
        OnExit = edZELIDExit
      end
      object KALabel7: TKALabel
        Left = 8
        Top = 79
        Width = 80
        Height = 13
        Caption = 'EAS-WG'
      end
      object edEASWG: TStrEdit
        Left = 92
        Top = 75
        Width = 50
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 3
        OnExit = edZELIDExit
      end
      object edeaswgbez: TStrEdit
        Left = 146
        Top = 75
        Width = 126
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 4
        OnExit = edZELIDExit
      end
      object KALabel8: TKALabel
        Left = 8
        Top = 102
        Width = 80
        Height = 13
        Caption = 'EAS-Farbe'
      end
      object edEASFA: TStrEdit
        Left = 92
        Top = 98
        Width = 50
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 5
        OnExit = edZELIDExit
      end
      object edeasfabez: TStrEdit
        Left = 146
        Top = 98
        Width = 126
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 6
        OnExit = edZELIDExit
      end
      object KALabel9: TKALabel
        Left = 8
        Top = 125
        Width = 80
        Height = 13
        Caption = 'Beschreibung'
      end
      object edHBez: TStrEdit
        Left = 92
        Top = 121
        Width = 180
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 7
        OnExit = edZELIDExit
      end
      object KALabel10: TKALabel
        Left = 8
        Top = 148
        Width = 80
        Height = 13
        Caption = 'Farbe'
      end
      object edHFar: TStrEdit
        Left = 92
        Top = 144
        Width = 180
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 8
        OnExit = edZELIDExit
      end
      object lbmat: TKALabel
        Left = 8
        Top = 171
        Width = 80
        Height = 13
        Caption = 'Material'
      end
      object edHMat: TStrEdit
        Left = 92
        Top = 167
        Width = 180
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 9
        OnExit = edZELIDExit
      end
      object KALabel11: TKALabel
        Left = 8
        Top = 194
        Width = 80
        Height = 13
        Caption = 'LFA/LFB'
      end
      object edLFA: TStrEdit
        Left = 92
        Top = 190
        Width = 88
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 10
        OnExit = edZELIDExit
      end
      object edLFB: TStrEdit
        Left = 184
        Top = 190
        Width = 88
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 11
        OnExit = edZELIDExit
      end
      object KALabel12: TKALabel
        Left = 8
        Top = 217
        Width = 80
        Height = 13
        Caption = 'Modell'
      end
      object edMDL: TStrEdit
        Left = 92
        Top = 213
        Width = 180
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 12
        OnExit = edZELIDExit
      end
      object KALabel13: TKALabel
        Left = 8
        Top = 240
        Width = 80
        Height = 13
        Caption = 'Lief.Farb.Nr.'
      end
      object edHERFARBE: TStrEdit
        Left = 92
        Top = 236
        Width = 180
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 13
        OnExit = edZELIDExit
      end
      object KALabel14: TKALabel
        Left = 8
        Top = 263
        Width = 80
        Height = 13
        Caption = 'Weite'
      end
      object edWEI: TStrEdit
        Left = 92
        Top = 259
        Width = 180
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 14
        OnExit = edZELIDExit
      end
      object KALabel15: TKALabel
        Left = 290
        Top = 10
        Width = 80
        Height = 13
        Caption = 'BLE-WG'
      end
      object edBLE: TStrEdit
        Left = 370
        Top = 6
        Width = 180
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 15
        OnExit = edZELIDExit
      end
      object KALabel16: TKALabel
        Left = 290
        Top = 33
        Width = 80
        Height = 13
        Caption = 'Lief.-WG'
      end
      object edERM: TStrEdit
        Left = 370
        Top = 29
        Width = 180
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 16
        OnExit = edZELIDExit
      end
      object KALabel17: TKALabel
        Left = 290
        Top = 56
        Width = 80
        Height = 13
        Caption = 'DTB-WG'
      end
      object edDTB: TStrEdit
        Left = 370
        Top = 52
        Width = 180
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 17
        OnExit = edZELIDExit
      end
      object KALabel18: TKALabel
        Left = 290
        Top = 79
        Width = 80
        Height = 13
        Caption = 'Fedas'
      end
      object edFEDAS: TStrEdit
        Left = 370
        Top = 75
        Width = 180
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 18
        OnExit = edZELIDExit
      end
      object KALabel19: TKALabel
        Left = 290
        Top = 102
        Width = 80
        Height = 13
        Caption = 'EAS-Material'
      end
      object edEAS_MAT: TStrEdit
        Left = 370
        Top = 98
        Width = 180
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 19
        OnExit = edZELIDExit
      end
      object KALabel20: TKALabel
        Left = 290
        Top = 125
        Width = 80
        Height = 13
        Caption = 'VPE'
      end
      object edVPE: TStrEdit
        Left = 370
        Top = 121
        Width = 180
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 20
        OnExit = edZELIDExit
      end
      object KALabel21: TKALabel
        Left = 290
        Top = 143
        Width = 80
        Height = 13
        Caption = 'Mindest-'
      end
      object KALabel22: TKALabel
        Left = 290
        Top = 154
        Width = 80
        Height = 13
        Caption = 'Best.Menge'
      end
      object edMINQTY: TStrEdit
        Left = 370
        Top = 144
        Width = 180
        Height = 21
        MapEnterToTab = False
        MaxLength = -1
        Color = clInfoBk
        ColorDisabled = clWindowText
        Enabled = False
        TabStop = False
        TabOrder = 21
        OnExit = edZELIDExit
      end
      object Klabel1: TKlabel
        Left = 0
        Top = 286
        Width = 49
        Height = 17
        BoxWidth = 32
        AutoLen = False
        Color = 16765650
        Caption = 'Grs'
        Alignment = taCenter
      end
      object Klabel2: TKlabel
        Left = 48
        Top = 286
        Width = 90
        Height = 17
        BoxWidth = 32
        AutoLen = False
        Color = 16765650
        Caption = 'GTIN'
        Alignment = taCenter
      end
      object Klabel3: TKlabel
        Left = 137
        Top = 286
        Width = 70
        Height = 17
        BoxWidth = 32
        AutoLen = False
        Color = 16765650
        Caption = 'EK-Preis'
        Alignment = taCenter
      end
      object Klabel4: TKlabel
        Left = 206
        Top = 286
        Width = 70
        Height = 17
        Numeric = False
        BoxWidth = 32
        AutoLen = False
        Color = 16765650
        Caption = 'VK-Preis'
      end
      object Klabel5: TKlabel
        Left = 275
        Top = 286
        Width = 102
        Height = 17
        Numeric = False
        BoxWidth = 32
        AutoLen = False
        Color = 16765650
        Caption = 'QAZ'
      end
      object deb: TListBox
        Left = 370
        Top = 174
        Width = 185
        Height = 108
        ItemHeight = 13
        PopupMenu = pu
        TabStop = False
        TabOrder = 20
        Visible = False
      end
    end
    object lbGrs: TKListBox
      Left = 0
      Top = 441
      Width = 565
      Height = 304
      SortItem = 0
      ColWidths = '48;88;68;68;100;'
      ColWidthsInPoint = True
      KeyPos = 1
      Align = alClient
      Font.Charset = DEFAULT_CHARSET
      Font.Color = clWindowText
      Font.Height = -10
      Font.Name = 'MS Sans Serif'
      Font.Style = []
      ParentFont = False
      Style = lbOwnerDrawFixed
      ItemHeight = 16
      TabStop = False
      TabOrder = 2
    end
  end
  object timCheck: TTimer
    Enabled = False
    Interval = 200
    OnTimer = timCheckTimer
  end
  object pu: TPopupMenu
    object Lschen1: TMenuItem
      Caption = 'Debug L'#246'schen'
      OnClick = Lschen1Click
    end
  end
end
