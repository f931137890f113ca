-- Entries as another program left them: its copy of the table takes NULLs. The line ends inside the
-- quotes are the values' own (CR LF, then LF).
INSERT INTO GelirGider (IslemTuru, Gun, Ay, Yil, IslemKaynagi, IslemTutari, TutarBirimi, GecerliKur,
    KdvOrani, IslemCesidi, IslemIcerigi, IslemNotu, FaturaNo) VALUES
('Gelir', '7', '3', '2025', 'Öz Kırtasiye; "Yıldız" Ltd', '1250.125000', 'Dolar', '32.5', '20',
    'Satış', 'bir
iki', '  iki yanı boşluk ', 'A-17'),
('Gider', '8', '3', '2025', '=HYPERLINK("http://x","y")', '-5.00', 'Lira', '1,5', '18',
    'Kira', '+90 532 111 22 33', '@SUM(A1)', '-12'),
('Gider', '9', '3', '2025', 'Boş Ltd', '10', 'Lira', '0', '20', 'Kira
Aidat', 'ĞÜŞİÖÇ ğüşıöç',
    '', '');
CREATE TABLE Eski AS SELECT * FROM GelirGider;
DROP TABLE GelirGider;
ALTER TABLE Eski RENAME TO GelirGider;
UPDATE GelirGider SET IslemNotu = NULL, FaturaNo = NULL WHERE Gun = '9';
