INSERT INTO Firmalar (FirmaAdi, FirmaAdresi, VergiDairesi, VergiNumarasi, Telefon, CalismaTuru) VALUES
    ('Ali''nin Kırtasiyesi', 'Çarşı Cd. No:5
Şişli / İstanbul', 'Şişli', '12345678901', '0212', 'Müşteri'),
    ('Işık Elektrik Ltd. Şti.', 'Organize Sanayi 3. Cad.
Bursa', 'Nilüfer', '2345678901', '0212', 'Müşteri'),
    ('Çınar Yapı A.Ş.', 'Atatürk Bulvarı 12 Ankara', 'Çankaya', '3456789012', '0212', 'Müşteri');
INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi, GecerliKur, KdvOrani,
        IslemCesidi, IslemIcerigi, IslemNotu, FaturaNo) VALUES
    ('Gelir', '1', '3', '2024', 'Çınar Yapı A.Ş.', '1250.50', 'Lira', '0', '20', 'Satış Geliri', 'Mart hakedişi', '', '0'),
    ('Gider', '1', '4', '2024', 'Işık Elektrik Ltd. Şti.', '99.00', 'Lira', '0', '20', '', 'Nisan', '', '7'),
    ('Gelir', '1', '2', '2025', 'Ali''nin Kırtasiyesi', '300.00', 'Euro', '0', '10', 'Satış Geliri', 'Kırtasiye satışı
Fatura kesildi', 'Peşin ödendi', '0'),
    -- the amount as an edit in the entries table writes it
    ('Gider', '1', '2', '2025', 'Işık Elektrik Ltd. Şti.', '12.500000', 'Lira', '0', '20', 'Malzeme', 'Kablo ve priz',
        'İki taksit
Kalan: 6,25', 'A-1024'),
    ('Gider', '1', '2', '2025', 'Güneş Nakliyat', '800.00', 'Dolar', '35.2', '18', 'Nakliye', 'İzmir''e sevkiyat', '',
        'N''42'),
    ('Gelir', '1', '2', '2024', 'Ali''nin Kırtasiyesi', '5.00', 'Lira', '0', '20', '', '', '', '0');
